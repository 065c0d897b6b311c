#include "lines_fixture.h"

namespace {

// A screen of 10 rows: text rows 3 to 9, the cursor on rows 4 to 8, pages of
// 5 lines, and a list of 12 lines and its end line.
class Pages : public LinesTest {
  protected:
    void SetUp() override {
        LinesTest::SetUp();
        y_size = 10;
    }
    void build_at(int index, int into = 1, int row = 6) {
        build({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}, index, into);
        fold()->row = row;
        refresh();
    }
    std::string cursor() const {
        return std::to_string(fold()->cur_index) + " @" + std::to_string(fold()->into) + " r" +
               std::to_string(fold()->row);
    }
};

TEST_F(Pages, PagesAndScrolls) {
    const struct {
        int index, row;
        const char *text, *cursor;
    } cases[] = {
        // A page away, under a still cursor row, nearest the remembered column.
        {0, 6, "page_down", "5 @1 r6"},
        {7, 6, "page_down", "12 @0 r6"},
        {12, 6, "page_up", "7 @0 r6"}, // the end line's column is 0
        {5, 6, "page_up", "0 @1 r6"},
        // Less than a page away: to the end, on the row it is shown on within
        // the limits.
        {8, 6, "page_down", "12 @0 r8"},
        {11, 6, "page_down", "12 @0 r7"},
        {12, 6, "page_down", "12 @0 r6"},
        {4, 6, "page_up", "0 @0 r4"},
        {1, 6, "page_up", "0 @0 r5"},
        {2, 5, "page_up", "0 @0 r4"}, // the first line was on row 3
        // Scrolling moves the row, and on the limit row the line.
        {5, 6, "page_scroll_up", "5 @1 r5"},
        {5, 6, "page_scroll_down", "5 @1 r7"},
        {5, 4, "page_scroll_up", "6 @1 r4"},
        {5, 8, "page_scroll_down", "4 @1 r8"},
        {12, 4, "page_scroll_up", "12 @1 r4"},
        {0, 8, "page_scroll_down", "0 @1 r8"},
    };
    for (auto c : cases) {
        build_at(c.index, 1, c.row);
        EXPECT_EQ(exec_commands(c.text), 1);
        EXPECT_EQ(cursor(), c.cursor) << c.text << " from " << c.index << " on row " << c.row;
        state(); // checks the tree and the line number
    }
}

TEST_F(Pages, FoldLinesCountOnceAndShortListsHaveOnlyTheirEnds) {
    build({"a", "[f", "x", "y", "]", "b", "[+g", "z", "]", "c", "d", "e"});
    EXPECT_EQ(run("page_down"), "a,[f 0 c:x,y,],b,[g 0 o:z,],c,d,e, i5 n10 @0 r6");
    EXPECT_EQ(run("page_up"), "a,[f 0 c:x,y,],b,[g 0 o:z,],c,d,e, i0 n0 @0 r6");
    build({"a", "b"}, 1);
    EXPECT_EQ(run("page_down"), "a,b, i2 n2 @0 r8");
    EXPECT_EQ(run("page_up"), "a,b, i0 n0 @0 r4");
    build({});
    EXPECT_EQ(run("page_down page_up page_down"), " i0 n0 @0 r8");
}

} // namespace
