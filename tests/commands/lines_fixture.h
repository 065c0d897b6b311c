// The line and page command tests: a fresh current buffer filled from an
// outline, an empty undelete stack, and the screen's rows worked out by
// refresh() without a terminal.
#pragma once

#include "commands_owner.h"

#include "commands/executor.h"
#include "commands/undelete.h"
#include "display/screen.h"
#include "text/tree_check.h"

#include <string>
#include <vector>

class LinesTest : public CommandsTest {
  protected:
    void SetUp() override {
        CommandsTest::SetUp();
        scn_init();
    }
    void TearDown() override {
        undel_release_all();
        CommandsTest::TearDown();
    }

    FOLD *fold() const { return cur_buffer->fold; }
    LINE *line() const { return cur_buffer->fold->cur; }

    // A new current buffer filled from an outline, one entry a line: "[name"
    // starts a closed fold, "[+name" an open one, "]" ends it, "<name" is a
    // virtual fold line, anything else a text line. The cursor is on line
    // `index` of the top list at `into`, on row 6; a fold's own current line is
    // its end line.
    void build(const std::vector<std::string> &outline, int index = 0, int into = 0) {
        cur_buffer = buff_create("", -1, top);
        ASSERT_NE(cur_buffer, nullptr);
        size_t pos = 0;
        fill(cur_buffer->top, outline, pos);
        line_step_first(cur_buffer->top);
        go(index, into);
        fold()->row = 6;
    }

    // The cursor to a line of the current list, at an into value.
    void go(int index, int into = 0) {
        cur_buffer->line_no += line_step_to(fold(), index);
        fold()->into = into;
        fold()->col = cur_csr_col();
    }

    // Every line of the buffer in the order of its file, with its holder.
    std::vector<std::pair<LINE *, FOLD *>> file_lines() const {
        std::vector<std::pair<LINE *, FOLD *>> out;
        walk(cur_buffer->top, out);
        return out;
    }

    // The current list (tree_picture) and the cursor: " i" list index, " n"
    // line number, " @" into value, " r" cursor row, " *" when the buffer
    // changed; after the cursor is checked: counts and parent links hold, the
    // current fold hangs from current fold lines, and the line number is the
    // current line's place in the file.
    std::string state() const {
        EXPECT_EQ(check_fold_invariants(cur_buffer->top), "");
        for (const FOLD *f = fold(); f->parent; f = f->parent) {
            const LINE *up = f->parent->cur;
            EXPECT_TRUE(line_kind(up) == LINE_FOLD && line_fold(up) == f);
        }
        auto lines = file_lines();
        EXPECT_EQ(lines.at(cur_buffer->line_no).first, line()) << "line number is wrong";
        return tree_picture(fold()) + " i" + std::to_string(fold()->cur_index) + " n" +
               std::to_string(cur_buffer->line_no) + " @" + std::to_string(fold()->into) + " r" +
               std::to_string(fold()->row) + (cur_buffer->changed ? " *" : "");
    }

    // Runs a command text: the state after it, or "!" and the error.
    std::string run(const char *text) {
        return exec_commands(text) ? state() : std::string("!") + last_error();
    }

  private:
    static void fill(FOLD *f, const std::vector<std::string> &outline, size_t &pos) {
        while (pos < outline.size() && outline[pos] != "]") {
            const std::string &e = outline[pos++];
            LINE *l;
            if (e[0] == '[') {
                bool open = e[1] == '+';
                l = line_create_fold(e.c_str() + 1 + open, 0, open);
                // Filled before it is linked in, as the file reader does.
                fill(line_fold(l), outline, pos);
                pos++;
            } else {
                l = e[0] == '<' ? line_create_virt(e.c_str() + 1, 0, 0)
                                : line_create_text(e.c_str());
            }
            line_insert(l, f);
            line_step_next(f);
        }
    }

    static void walk(FOLD *f, std::vector<std::pair<LINE *, FOLD *>> &out) {
        for (LINE *l = f->first;; l = l->next) {
            out.push_back({l, f});
            if (l == f->end) return;
            if (line_kind(l) == LINE_FOLD) walk(line_fold(l), out);
        }
    }
};
