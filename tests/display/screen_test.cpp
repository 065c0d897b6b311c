// Bringing the text rows up to date with the terminal layer not brought up:
// the row a line is on. What the rows show is tested through ox in a terminal
// (tests/main).
#include "display/screen.h"

#include <gtest/gtest.h>

#include <string>

#include "display/terminal.h"
#include "text/tables_owner.h"

namespace {

using Refresh = TablesTest;

// A buffer of twenty text lines on a screen of 40 x 12: text rows 3 to 11.
TEST_F(Refresh, AFreedLineIsOnNoRowAndACursorRowOffTheScreenComesBack) {
    text_buffer *b = cur_buffer = buff_create("flat.top", -1, make_top());
    tree_line *t[20];
    for (int i = 0; i < 20; i++) {
        line_insert(t[i] = line_create_text(std::to_string(i).c_str()), b->top);
        line_step_next(b->top);
    }
    line_step_first(b->top);
    x_size = 40;
    y_size = 12;
    scn_init();
    b->top->row = 4;
    refresh();
    // A freed line is on no row, though a new line may take its place in memory.
    line_step_to(b->top, 1);
    line_delete(line_remove(b->top));
    EXPECT_EQ(locate_line(t[1]), -1);
    EXPECT_EQ(locate_line(t[2]), 6);
    // A cursor row off the screen, as after the screen shrank: the nearest text row.
    b->top->row = 40;
    refresh();
    EXPECT_EQ(locate_line(t[2]), y_size - 1);
    line_set_delete_notice(nullptr);
}

} // namespace
