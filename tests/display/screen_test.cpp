// Bringing the text rows up to date, counted with the terminal layer not
// brought up: which rows are drawn, and which are moved by inserting and
// deleting rows. What the rows show is tested through a terminal (tests/e2e).
#include "display/screen.h"

#include <gtest/gtest.h>

#include <string>

#include "display/terminal.h"
#include "text/tables_owner.h"

namespace {

using Refresh = TablesTest;

// A buffer of twenty text lines on a screen of 40 x 12: text rows 3 to 11.
TEST_F(Refresh, OnlyChangedRowsAreDrawnAndShiftsOfUpToThreeRowsAreMoved) {
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
    refresh();
    // The cursor row the first line is drawn on, and a line changed.
    struct {
        const char *name;
        int row, changed;
        long drawn, inserted, deleted;
    } const steps[] = {
        {"nothing changed", 4, -1, 0, 0, 0}, {"a changed line", 4, 2, 1, 0, 0},
        {"up one row", 3, -1, 1, 0, 1},      {"down one row", 4, -1, 1, 1, 0},
        {"down three rows", 7, -1, 3, 3, 0}, {"up three rows", 4, -1, 3, 0, 3},
        {"down four rows", 8, -1, 8, 0, 0}, // every row but the empty one above
    };
    for (const auto &step : steps) {
        scn_rows_drawn = 0;
        th_stats = {};
        b->top->row = step.row;
        if (step.changed >= 0) line_set_changed(t[step.changed]);
        refresh();
        EXPECT_EQ(scn_rows_drawn, step.drawn) << step.name;
        EXPECT_EQ(th_stats.inserted_rows, step.inserted) << step.name;
        EXPECT_EQ(th_stats.deleted_rows, step.deleted) << step.name;
        EXPECT_EQ(locate_line(t[0]), step.row) << step.name;
    }
    // A freed line is on no row, though a new line may take its place in memory.
    line_step_to(b->top, 1);
    line_delete(line_remove(b->top));
    EXPECT_EQ(locate_line(t[1]), -1);
    EXPECT_EQ(locate_line(t[2]), 10);
    // A cursor row off the screen, as after the screen shrank: the nearest text row.
    b->top->row = 40;
    refresh();
    EXPECT_EQ(locate_line(t[2]), y_size - 1);
    line_set_delete_notice(nullptr);
}

} // namespace
