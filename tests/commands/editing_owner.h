// The state the editing command tests start from: the command tests' first
// buffer (commands_owner.h), filled with lines, and an empty undelete stack
// that is emptied again after each test.
#pragma once

#include "commands_owner.h"

#include "commands/arguments.h"
#include "commands/command_table.h"
#include "commands/cursor.h"
#include "commands/undelete.h"
#include "display/into.h"
#include "text/tree_check.h"

#include <cstring>
#include <initializer_list>
#include <string>

// Appends a line at the end of the fold's list, leaving the current line
// where it was.
inline LINE *append_line(FOLD *f, LINE *l) {
    EXPECT_NE(l, nullptr);
    int index = f->cur_index;
    line_step_last(f);
    line_insert(l, f);
    line_step_first(f);
    line_step_to(f, index);
    return l;
}

// A fold line holding text lines.
inline LINE *make_fold(const char *name, std::initializer_list<const char *> texts, int indent = 0,
                       int open = 0) {
    LINE *l = line_create_fold(name, indent, open);
    for (const char *t : texts) append_line(line_fold(l), line_create_text(t));
    return l;
}

class EditingTest : public CommandsTest {
  protected:
    void SetUp() override {
        CommandsTest::SetUp();
        undel_release_all();
    }
    void TearDown() override {
        undel_release_all();
        CommandsTest::TearDown();
    }

    FOLD *fold() const { return cur_buffer->fold; }
    LINE *line() const { return cur_buffer->fold->cur; }

    // Text lines appended to the current fold; the cursor stays where it was.
    void add_lines(std::initializer_list<const char *> texts) {
        for (const char *t : texts) append_line(fold(), line_create_text(t));
    }

    // The cursor to a line of the current fold and an into value there,
    // keeping the buffer's line number right.
    void go(int index, int into = 0) {
        cur_buffer->line_no += line_step_to(fold(), index);
        fold()->into = into;
    }

    // A handler run as the executor runs it: 1, or 0 after an error (then
    // last_error() holds its message).
    static int run(command_handler handler) { return run_with_recovery(handler); }
    static int run(command_handler handler, unsigned char c) {
        arg_val[0].chr = c;
        return run(handler);
    }
    static int run(command_handler handler, const char *s) {
        std::strcpy(arg_strs[0], s);
        arg_val[0].str = arg_strs[0];
        return run(handler);
    }

    std::string text() const { return string_of(line()); }
    int into() const { return fold()->into; }

    // Clears the changed flags of the current line and the buffer.
    void unchanged() {
        line_clear_changed(line());
        cur_buffer->changed = 0;
    }
    bool changed() const { return line_is_changed(line()) && cur_buffer->changed; }

    // The current fold's lines as tree_picture draws them, after checking the
    // whole tree's cached counts.
    std::string picture() const {
        std::string fault = check_fold_invariants(cur_buffer->top);
        EXPECT_EQ(fault, "");
        if (fold() == cur_buffer->top) {
            EXPECT_EQ(cur_buffer->line_no, fold()->cur_count);
        }
        return tree_picture(fold());
    }
};
