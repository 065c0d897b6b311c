// What the terminal layer's output primitives show on a real terminal.
#include <gtest/gtest.h>

#include "e2e/pty_terminal.h"

namespace {

TEST(E2eOutput, PrimitivesDrawWhatTheyPromise) {
    e2e::options opts;
    opts.cols = 40;
    opts.rows = 16;
    e2e::pty_terminal t({DRAW_PRIMITIVES_PROGRAM}, opts);
    ASSERT_TRUE(t.wait_screen({
        "a       b       c",
        "aXc",
        "     1",
        "2",
        "",
        "row 5",
        "row 7",
        "inserted",
        "row 8",
        "row 9",
        "",
        "marked",
        "xxxx|",
        "                                     abc",
        "def!",
    }));
    EXPECT_EQ(t.cursor_row(), 14);
    EXPECT_EQ(t.cursor_col(), 4);
    // The marked colour, white on blue, runs to the right margin.
    for (int col : {0, 20, 39}) {
        EXPECT_EQ(t.at(11, col).fg, 7) << col;
        EXPECT_EQ(t.at(11, col).bg, 4) << col;
    }
    EXPECT_EQ(t.at(12, 5).bg, 0);
    t.type(" ");
    EXPECT_TRUE(t.wait_exit(0));
}

} // namespace
