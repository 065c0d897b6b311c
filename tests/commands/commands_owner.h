// The state a command run starts from in these tests: the language "top", a
// current first buffer, no bindings, no prefix keys, the exit flag clear and
// an 80 by 24 screen for the prompt line to draw on (no terminal is opened).
// Everything made is freed after each test.
#pragma once

#include "commands/bindings.h"
#include "commands/editor_state.h"
#include "commands/errors.h"
#include "display/terminal.h"
#include "text/tables_owner.h"

#include <string>

class CommandsTest : public TablesTest {
  protected:
    void SetUp() override {
        TablesTest::SetUp();
        x_size = 80;
        y_size = 24;
        clear_bindings();
        exit_flag = 0;
        top = make_top();
        ASSERT_NE(top, nullptr);
        cur_buffer = buff_create("", -1, top);
        ASSERT_NE(cur_buffer, nullptr);
    }
    void TearDown() override {
        clear_bindings();
        exit_flag = 0;
        TablesTest::TearDown();
    }

    // The action bound to the pair, or "<unbound>".
    static std::string action_of(int key1, int key2 = 0) {
        int i = find_binding(key1, key2);
        return i < 0 ? "<unbound>" : bindings[i].action;
    }

    LANG *top = nullptr;
};

// The message an error raised by the call carries, or "" when it raised none.
template <class Call> std::string error_of(Call call) {
    try {
        call();
    } catch (const command_error &e) {
        return e.what();
    }
    return "";
}
