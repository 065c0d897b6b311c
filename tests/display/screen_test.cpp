// The layout of the text rows, and refresh with the terminal layer not
// brought up.
#include "display/layout.h"
#include "display/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "display/terminal.h"
#include "text/buffer.h"
#include "text/tables_owner.h"

bool operator==(const ROW &x, const ROW &y) {
    return x.line == y.line && x.indent == y.indent && x.marked == y.marked && x.tagged == y.tagged;
}

std::ostream &operator<<(std::ostream &os, const ROW &r) {
    return os << "{" << static_cast<const void *>(r.line) << " " << r.indent << " " << r.marked
              << " " << r.tagged << "}";
}

namespace {

// The top list of a buffer: t0, A (open, indent 2) {a0, B (open, indent 3)
// {b0}, a1}, C (closed, indent 1) {c0}, V (virtual, indent 4), t1.
class Layout : public TablesTest {
  protected:
    BUFF *b = nullptr;
    LINE *t0, *fa, *a0, *fb, *b0, *a1, *fc, *v, *t1;

    static LINE *add(FOLD *f, LINE *l) {
        line_insert(l, f);
        line_step_next(f);
        return l;
    }
    static LINE *end(LINE *fold_line) { return line_fold(fold_line)->end; }

    void SetUp() override {
        TablesTest::SetUp();
        cur_buffer = b = buff_create("tree.top", -1, make_top());
        ASSERT_NE(b, nullptr);
        t0 = add(b->top, line_create_text("t0"));
        fa = line_create_fold("A", 2, 1);
        a0 = add(line_fold(fa), line_create_text("a0"));
        fb = line_create_fold("B", 3, 1);
        b0 = add(line_fold(fb), line_create_text("b0"));
        add(line_fold(fa), fb);
        a1 = add(line_fold(fa), line_create_text("a1"));
        add(b->top, fa);
        fc = line_create_fold("C", 1, 0);
        add(line_fold(fc), line_create_text("c0"));
        add(b->top, fc);
        v = add(b->top, line_create_virt("\"v.top\"", 4, 1));
        t1 = add(b->top, line_create_text("t1"));
        line_step_first(b->top);
    }

    // Rows 0-2 hold a filler that layout_rows must leave alone.
    std::vector<ROW> lay_out(const FOLD *f, int row, int n_rows = 20) {
        std::vector<ROW> rows(static_cast<size_t>(n_rows), ROW{t0, -9, -9, -9});
        layout_rows(rows.data(), n_rows, f, row);
        return rows;
    }

    // The whole top list with t0 on row 4.
    std::vector<ROW> picture() {
        std::vector<ROW> rows{
            {t0, -9, -9, -9}, {t0, -9, -9, -9},   {t0, -9, -9, -9}, {nullptr, 0, 0, 0},
            {t0, 0, 0, 0},    {fa, 2, 0, 0},      {a0, 2, 0, 0},    {fb, 5, 0, 0},
            {b0, 5, 0, 0},    {end(fb), 5, 0, 0}, {a1, 2, 0, 0},    {end(fa), 2, 0, 0},
            {fc, 1, 0, 0},    {v, 4, 0, 0},       {t1, 0, 0, 0},    {b->top->end, 0, 0, 0}};
        rows.resize(20, ROW{nullptr, 0, 0, 0});
        return rows;
    }
};

TEST_F(Layout, RowsAboveAndBelowTheCursorThroughOpenFolds) {
    // Whichever line of the list is current, on the row where the picture
    // shows it, the rows are the same: the walk up mirrors the walk down.
    // Marks on A and C take in all that A shows; the end row is never marked.
    b->top->mark1 = 1;
    b->top->mark2 = 2;
    line_toggle_tag(b0);
    std::vector<ROW> want = picture();
    for (int row = 5; row <= 11; row++) want[static_cast<size_t>(row)].marked = 1;
    want[8].tagged = 1;
    for (int index = 0; index < b->top->line_count; index++) {
        line_step_to(b->top, index);
        int row = 3;
        while (want[static_cast<size_t>(row)].line != b->top->cur) row++;
        ASSERT_EQ(lay_out(b->top, row), want) << "current index " << index;
    }
    // With fewer rows the picture is cut; inside A its end line ends the list.
    line_step_first(b->top);
    EXPECT_EQ(lay_out(b->top, 4, 10), std::vector<ROW>(want.begin(), want.begin() + 10));
    EXPECT_EQ(lay_out(b->top, 10, 10)[5].line, nullptr) << "no row 10 of 10: all empty";
    line_step_to(line_fold(fa), 2); // a1, below B
    std::vector<ROW> inside(10, ROW{t0, -9, -9, -9});
    const ROW rows[] = {{a0, 0, 0, 0},      {fb, 3, 0, 0}, {b0, 3, 0, 1},
                        {end(fb), 3, 0, 0}, {a1, 0, 0, 0}, {end(fa), 0, 0, 0}};
    std::copy(std::begin(rows), std::end(rows), inside.begin() + 3);
    inside[9] = {nullptr, 0, 0, 0};
    EXPECT_EQ(lay_out(line_fold(fa), 7, 10), inside);
}

class Refresh : public Layout {
  protected:
    void SetUp() override {
        Layout::SetUp();
        x_size = 40;
        y_size = 12;
        scn_init();
    }
    void TearDown() override {
        line_set_delete_notice(nullptr);
        Layout::TearDown();
    }
};

TEST_F(Refresh, AFreedLineIsOnNoRow) {
    refresh();
    line_step_first(line_fold(fa));
    ASSERT_EQ(locate_line(a0), 6);
    line_delete(line_remove(line_fold(fa)));
    // A new line may take the freed one's place in memory; it is not shown.
    EXPECT_EQ(locate_line(a0), -1);
    EXPECT_EQ(locate_line(fb), 7);
}

TEST_F(Refresh, ACursorRowOffTheScreenIsDrawnOnTheNearestTextRow) {
    b->top->row = 40; // as after the screen shrank
    refresh();
    EXPECT_EQ(locate_line(t0), y_size - 1);
    b->top->row = 0;
    refresh();
    EXPECT_EQ(locate_line(t0), 3);
}

} // namespace
