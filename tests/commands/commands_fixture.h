// The state every command test starts from: the language "top" (autoindent,
// insert mode, real tabs, the word separators "," and ";") and a current
// buffer, no bindings or prefix keys, the exit flag clear, an empty undelete
// stack, no last search and an 80 by 24 screen whose rows refresh() works out
// without a terminal. Everything made is freed after each test.
#pragma once

#include "commands/bindings.h"
#include "commands/editor_state.h"
#include "commands/errors.h"
#include "commands/executor.h"
#include "commands/search.h"
#include "commands/undelete.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "text/tables_owner.h"
#include "text/tree_check.h"

#include <cstring>
#include <string>
#include <vector>

// The message of the error the call raised, or "" when it raised none.
template <class Call> std::string error_of(Call call) {
    try {
        call();
    } catch (const command_error &e) {
        return e.what();
    }
    return "";
}

// A command text run from a place in a buffer built from an outline, with the
// block marks as given (-1: unset), and the state it leaves (CommandsTest::run).
struct command_case {
    std::vector<std::string> outline;
    int index, into;
    std::string text, state;
    int mark1 = -1, mark2 = -1;
};

class CommandsTest : public TablesTest {
  protected:
    void SetUp() override {
        TablesTest::SetUp();
        x_size = 80;
        y_size = 24;
        scn_init();
        clear_bindings();
        exit_flag = 0;
        search_forget();
        top = make_top();
        ASSERT_NE(top, nullptr);
        std::strcpy(top->separators, ",;");
        cur_buffer = buff_create("", -1, top);
        ASSERT_NE(cur_buffer, nullptr);
    }
    void TearDown() override {
        undel_release_all();
        clear_bindings();
        TablesTest::TearDown();
    }

    tree_fold *fold() const { return cur_buffer->fold; }
    tree_line *line() const { return fold()->cur; }

    // A new current buffer holding the outline, one entry a line: "[name"
    // starts a closed fold and "[+name" an open one, "]" or the outline's end
    // ends it, "<name" is a virtual fold line, anything else a text line;
    // blanks before a fold's name are its indent. The cursor is on line
    // `index` of the top list at `into`, on row 6; a fold's own current line
    // is its end line.
    void build(const std::vector<std::string> &outline, int index = 0, int into = 0) {
        text_buffer *old = cur_buffer;
        cur_buffer = buff_create("", -1, top);
        ASSERT_NE(cur_buffer, nullptr);
        buff_delete(old);
        size_t pos = 0;
        fill(cur_buffer->top, outline, pos);
        line_step_first(fold());
        cur_buffer->line_no += line_step_to(fold(), index);
        fold()->into = into;
        fold()->col = cur_csr_col();
        fold()->row = 6;
    }

    // The current list (tree_picture), the cursor's list index and into value,
    // its row, " *" when the buffer changed, the kinds of the undelete stack's
    // entries from the bottom (L line, B block, < and > characters, S string)
    // and the marks when either is set: "ab,cd, @1:0 r6 * < |0-1". First
    // checks the tree (tree_fault).
    std::string state() const {
        EXPECT_EQ(tree_fault(cur_buffer), "");
        std::string s = tree_picture(fold()) + " @" + std::to_string(fold()->cur_index) + ":" +
                        std::to_string(fold()->into) + " r" + std::to_string(fold()->row);
        if (cur_buffer->changed) s += " *";
        if (undel_count()) s += " ";
        for (int i = 0; i < undel_count(); i++) s += "LB<>S"[undel_entry(i).kind];
        if (fold()->mark1 >= 0 || fold()->mark2 >= 0)
            s += " |" + std::to_string(fold()->mark1) + "-" + std::to_string(fold()->mark2);
        return s;
    }

    // What is wrong with the buffer's tree (its counts and links, the current
    // fold hanging from current fold lines, the line number naming the current
    // line's place in the file), or "".
    static std::string tree_fault(const text_buffer *b) {
        std::string fault = check_fold_invariants(b->top);
        int line_no = b->fold->cur_count;
        for (const tree_fold *f = b->fold; f->parent && fault.empty(); f = f->parent) {
            const tree_line *up = f->parent->cur;
            if (line_kind(up) != LINE_FOLD || line_fold(up) != f) fault = "fold not current";
            line_no += f->parent->cur_count + 1;
        }
        if (fault.empty() && b->line_no != line_no)
            fault =
                "line number " + std::to_string(b->line_no) + ", not " + std::to_string(line_no);
        return fault;
    }

    // Runs a command text: the state after it, and " !" with the message when
    // it failed.
    std::string run(const std::string &text) {
        int ok = exec_commands(text.c_str());
        return state() + (ok ? "" : std::string(" !") + last_error());
    }

    void run_cases(const std::vector<command_case> &cases) {
        for (const command_case &c : cases) {
            SCOPED_TRACE(c.text + " on line " + std::to_string(c.index));
            undel_release_all();
            build(c.outline, c.index, c.into);
            fold()->mark1 = c.mark1;
            fold()->mark2 = c.mark2;
            EXPECT_EQ(run(c.text), c.state);
        }
    }

    language_def *top = nullptr;

  private:
    static void fill(tree_fold *f, const std::vector<std::string> &outline, size_t &pos) {
        while (pos < outline.size() && outline[pos] != "]") {
            const std::string &e = outline[pos++];
            tree_line *l = nullptr;
            if (e[0] != '[' && e[0] != '<') {
                l = line_create_text(e.c_str());
            } else {
                int open = e[1] == '+';
                size_t name = e.find_first_not_of(' ', 1 + open);
                int indent = static_cast<int>(name) - 1 - open;
                if (e[0] == '<') {
                    l = line_create_virt(e.c_str() + name, indent, 0);
                } else {
                    // Filled before it is linked in, as the file reader does.
                    l = line_create_fold(e.c_str() + name, indent, open);
                    fill(line_fold(l), outline, pos);
                    pos++;
                }
            }
            line_insert(l, f);
            line_step_next(f);
        }
    }
};
