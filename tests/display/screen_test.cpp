// The layout of the text rows and how refresh brings them up to date, with
// the terminal layer not brought up: its counters tell what would be sent.
#include "display/layout.h"
#include "display/screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/terminal.h"
#include "text/buffer.h"
#include "text/flags.h"
#include "text/tables_owner.h"

bool operator==(const ROW &x, const ROW &y) {
    return x.line == y.line && x.indent == y.indent && x.marked == y.marked && x.tagged == y.tagged;
}

std::ostream &operator<<(std::ostream &os, const ROW &r) {
    return os << "{" << static_cast<const void *>(r.line) << " " << r.indent << " " << r.marked
              << " " << r.tagged << "}";
}

namespace {

// t0, A (open, indent 2) {a0, B (open, indent 3) {b0}, a1}, C (closed,
// indent 1) {c0}, V (virtual, indent 4), t1, in the top list of a buffer.
class Layout : public TablesTest {
  protected:
    BUFF *b = nullptr;
    LINE *t0, *fa, *a0, *fb, *b0, *a1, *fc, *v, *t1;

    static LINE *add(FOLD *f, LINE *l) {
        line_insert(l, f);
        line_step_next(f);
        return l;
    }

    void SetUp() override {
        TablesTest::SetUp();
        b = buff_create("tree.top", -1, make_top());
        ASSERT_NE(b, nullptr);
        cur_buffer = b;
        FOLD *top = b->top;
        t0 = add(top, line_create_text("t0"));
        fa = line_create_fold("A", 2, 1);
        a0 = add(line_fold(fa), line_create_text("a0"));
        fb = line_create_fold("B", 3, 1);
        b0 = add(line_fold(fb), line_create_text("b0"));
        add(line_fold(fa), fb);
        a1 = add(line_fold(fa), line_create_text("a1"));
        add(top, fa);
        fc = line_create_fold("C", 1, 0);
        add(line_fold(fc), line_create_text("c0"));
        add(top, fc);
        v = add(top, line_create_virt("\"v.top\"", 4, 1));
        t1 = add(top, line_create_text("t1"));
        line_step_first(top);
    }

    std::vector<ROW> lay_out(const FOLD *f, int row, int n_rows = 20) {
        std::vector<ROW> rows(static_cast<size_t>(n_rows), ROW{t0, -9, -9, -9});
        layout_rows(rows.data(), n_rows, f, row);
        return rows;
    }

    // The rows of the whole top list with t0 on row 4.
    std::vector<ROW> expected() {
        FOLD *top = b->top;
        return {{t0, -9, -9, -9},   {t0, -9, -9, -9},
                {t0, -9, -9, -9},   {nullptr, 0, 0, 0},
                {t0, 0, 0, 0},      {fa, 2, 0, 0},
                {a0, 2, 0, 0},      {fb, 5, 0, 0},
                {b0, 5, 0, 0},      {line_fold(fb)->end, 5, 0, 0},
                {a1, 2, 0, 0},      {line_fold(fa)->end, 2, 0, 0},
                {fc, 1, 0, 0},      {v, 4, 0, 0},
                {t1, 0, 0, 0},      {top->end, 0, 0, 0},
                {nullptr, 0, 0, 0}, {nullptr, 0, 0, 0},
                {nullptr, 0, 0, 0}, {nullptr, 0, 0, 0}};
    }
};

TEST_F(Layout, OpenFoldsExpandInPlaceAtTheirIndents) {
    EXPECT_EQ(lay_out(b->top, 4), expected());
}

TEST_F(Layout, RowsAboveTheCursorMirrorRowsBelowIt) {
    // Whichever line of the top list is current, on the row where the full
    // picture shows it, the picture is the same: the rows above come from
    // the upward walk through the open folds.
    std::vector<ROW> picture = expected();
    for (int index = 0; index < b->top->line_count; index++) {
        line_step_to(b->top, index);
        int row = 3;
        while (picture[static_cast<size_t>(row)].line != b->top->cur) row++;
        ASSERT_EQ(lay_out(b->top, row), picture) << "current index " << index;
    }
}

TEST_F(Layout, MarksCoverWholeFoldsAndTheEndRowStaysPlain) {
    b->top->mark1 = 1; // A
    b->top->mark2 = 2; // up to C
    line_toggle_tag(b0);
    std::vector<ROW> rows = lay_out(b->top, 4);
    std::vector<ROW> want = expected();
    for (int row = 5; row <= 11; row++) want[static_cast<size_t>(row)].marked = 1;
    want[8].tagged = 1;
    EXPECT_EQ(rows, want);
    // Mark 2 on the end line takes in the rest of the list, the end row not.
    b->top->mark1 = 3;
    b->top->mark2 = b->top->line_count - 1;
    rows = lay_out(b->top, 4);
    for (int row = 3; row < 20; row++)
        EXPECT_EQ(rows[static_cast<size_t>(row)].marked, row == 13 || row == 14) << row;
    // Marks out of order mark nothing.
    b->top->mark1 = 4;
    b->top->mark2 = 1;
    for (const ROW &r : lay_out(b->top, 4)) EXPECT_NE(r.marked, 1);
}

TEST_F(Layout, InsideAFoldItsEndLineEndsTheList) {
    FOLD *a = line_fold(fa);
    line_step_to(a, 2); // a1, with B open above it
    std::vector<ROW> want{{t0, -9, -9, -9},
                          {t0, -9, -9, -9},
                          {t0, -9, -9, -9},
                          {a0, 0, 0, 0},
                          {fb, 3, 0, 0},
                          {b0, 3, 0, 0},
                          {line_fold(fb)->end, 3, 0, 0},
                          {a1, 0, 0, 0},
                          {a->end, 0, 0, 0},
                          {nullptr, 0, 0, 0}};
    EXPECT_EQ(lay_out(a, 7, 10), want);
}

TEST_F(Layout, OnlyTheRowsThereAreAreFilled) {
    std::vector<ROW> rows = lay_out(b->top, 5, 8);
    std::vector<ROW> want = expected();
    // t0 on row 5 instead of 4: everything one row lower, cut at row 8.
    EXPECT_EQ(rows[3], (ROW{nullptr, 0, 0, 0}));
    EXPECT_EQ(rows[4], (ROW{nullptr, 0, 0, 0}));
    for (int row = 5; row < 8; row++) EXPECT_EQ(rows[static_cast<size_t>(row)], want[row - 1]);
}

// refresh with the terminal layer's counters, on a screen of 40 by 12.
class Refresh : public Layout {
  protected:
    void SetUp() override {
        Layout::SetUp();
        x_size = 40;
        y_size = 12;
        scn_init();
        refresh();
        counted();
    }
    void TearDown() override {
        line_set_delete_notice(nullptr);
        Layout::TearDown();
    }
    // Rows drawn, inserted and deleted since the last call.
    static std::vector<long> counted() {
        std::vector<long> n{scn_rows_drawn, th_stats.inserted_rows, th_stats.deleted_rows};
        scn_rows_drawn = 0;
        th_stats = {};
        return n;
    }
    using counts = std::vector<long>;
};

TEST_F(Refresh, NothingChangedNothingDrawn) {
    refresh();
    EXPECT_EQ(counted(), (counts{0, 0, 0}));
    line_set_changed(a0);
    refresh();
    EXPECT_EQ(counted(), (counts{1, 0, 0}));
    EXPECT_FALSE(line_is_changed(a0));
    line_set_changed(line_fold(fc)->first); // inside a closed fold: not shown
    refresh();
    EXPECT_EQ(counted(), (counts{0, 0, 0}));
}

TEST_F(Refresh, ScrollingByRowsMovesThemAndFourRowsRedraws) {
    EXPECT_EQ(locate_line(t0), 4);
    EXPECT_EQ(locate_line(fa), 5);
    EXPECT_EQ(locate_line(nullptr), -1);
    b->top->row = 3; // one row up: one row deleted, the bottom one drawn
    refresh();
    EXPECT_EQ(counted(), (counts{1, 0, 1}));
    EXPECT_EQ(locate_line(t0), 3);
    b->top->row = 6; // three rows down: three rows inserted and drawn
    refresh();
    EXPECT_EQ(counted(), (counts{3, 3, 0}));
    b->top->row = 10; // four rows down: the lines are drawn again
    refresh();
    EXPECT_EQ(counted(), (counts{6, 0, 0}));
    EXPECT_EQ(locate_line(fa), 11);
}

TEST_F(Refresh, AFreedLineGivesUpItsRow) {
    FOLD *a = line_fold(fa);
    line_step_first(a);
    ASSERT_EQ(locate_line(a0), 6);
    LINE *gone = line_remove(a);
    line_delete(gone);
    EXPECT_EQ(locate_line(gone), -1);
    refresh();
    EXPECT_EQ(counted(), (counts{1, 0, 1})) << "the rows below move up";
    EXPECT_EQ(locate_line(fb), 6);
}

TEST_F(Refresh, ACursorRowOffTheScreenIsDrawnOnTheNearestTextRow) {
    b->top->row = 40;
    refresh();
    EXPECT_EQ(locate_line(t0), y_size - 1);
    b->top->row = 0;
    refresh();
    EXPECT_EQ(locate_line(t0), 3);
}

TEST_F(Refresh, SidewaysScrollingAndWhiteSpaceRedrawEveryRow) {
    line_insert(line_create_text(std::string(60, 'w').c_str()), b->top);
    b->top->into = 37; // x_size - 3: no scrolling
    refresh();
    EXPECT_EQ(counted(), (counts{1, 1, 0}));
    b->top->into = 38;
    refresh();
    EXPECT_EQ(counted(), (counts{y_size - 3, 0, 0}));
    b->flags ^= FLAG_VISIBLE;
    refresh();
    EXPECT_EQ(counted(), (counts{y_size - 3, 0, 0}));
    b->flags ^= FLAG_VISIBLE;
    b->top->into = 0;
    refresh();
    EXPECT_EQ(counted(), (counts{y_size - 3, 0, 0}));
}

} // namespace
