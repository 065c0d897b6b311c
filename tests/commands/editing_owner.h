// The state the editing command tests start from: the command tests' first
// buffer (commands_owner.h) with the separators "," and ";", filled with
// lines, and an empty undelete stack that is emptied again after each test.
#pragma once

#include "commands_owner.h"

#include "commands/cursor.h"
#include "commands/undelete.h"
#include "display/into.h"
#include "text/tree_check.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

// A closed fold line holding text lines.
inline LINE *make_fold(const char *name, std::initializer_list<const char *> texts) {
    LINE *l = line_create_fold(name, 0, 0);
    FOLD *f = line_fold(l);
    for (const char *t : texts) {
        line_insert(line_create_text(t), f);
        line_step_next(f);
    }
    return l;
}

class EditingTest : public CommandsTest {
  protected:
    void SetUp() override {
        CommandsTest::SetUp();
        undel_release_all();
        std::strcpy(top->separators, ",;");
    }
    void TearDown() override {
        undel_release_all();
        CommandsTest::TearDown();
    }

    FOLD *fold() const { return cur_buffer->fold; }
    LINE *line() const { return cur_buffer->fold->cur; }
    std::string text() const { return string_of(line()); }

    // Replaces the top fold's lines and puts the cursor on a line and an into
    // value. "[name indent" stands for a closed fold line holding "in",
    // "<name indent" for a closed virtual fold line, anything else for a
    // text line.
    void load(const std::vector<std::string> &lines, int index = 0, int into = 0) {
        FOLD *f = cur_buffer->top;
        line_step_first(f);
        while (f->cur != f->end) line_delete_deep(line_remove(f));
        for (const std::string &s : lines) {
            LINE *l = nullptr;
            if (s[0] == '[' || s[0] == '<') {
                size_t blank = s.find(' ');
                std::string name = s.substr(1, blank - 1);
                int indent = std::atoi(s.c_str() + blank + 1);
                l = s[0] == '<' ? line_create_virt(name.c_str(), indent, 0)
                                : make_fold(name.c_str(), {"in"});
                if (s[0] == '[') line_fold(l)->indent = indent;
            } else {
                l = line_create_text(s.c_str());
            }
            line_insert(l, f);
            line_step_next(f);
        }
        f->mark1 = f->mark2 = -1;
        line_step_first(f);
        line_step_to(f, index);
        cur_buffer->line_no = f->cur_count;
        f->into = into;
        cur_buffer->changed = 0;
    }

    // The current fold's lines as tree_picture draws them, the cursor's index
    // and into value, and the kinds of the undelete stack's entries from the
    // bottom (L line, B block, < and > characters, S string): "ab,cd, @1:0 <".
    // Checks the whole tree's cached counts and the line number first.
    std::string state() const {
        EXPECT_EQ(check_fold_invariants(cur_buffer->top), "");
        if (fold() == cur_buffer->top) {
            EXPECT_EQ(cur_buffer->line_no, fold()->cur_count);
        }
        std::string s = tree_picture(fold()) + " @" + std::to_string(fold()->cur_index) + ":" +
                        std::to_string(fold()->into);
        if (undel_count()) s += " ";
        for (int i = 0; i < undel_count(); i++) s += "LB<>S"[undel_entry(i).kind];
        return s;
    }
};
