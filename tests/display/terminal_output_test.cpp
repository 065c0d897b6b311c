#include "display/terminal.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using at = std::pair<int, int>;

at where() {
    return {th_cursor_x(), th_cursor_y()};
}

// Curses is not brought up here: the primitives keep the tracked cursor and
// the counters all the same.
TEST(TerminalOutput, TheTrackedCursorFollowsWhatIsWritten) {
    x_size = 20;
    y_size = 10;
    th_stats = {};
    th_cxy(5, 4);
    th_p_str("\t\t\t"); // spaces to the next multiple of eight, wrapping at the margin
    EXPECT_EQ(where(), (at{4, 5}));
    th_cxy(15, 3);
    th_p_raw_str("0123456789012345678901234567890"); // 31 cells
    EXPECT_EQ(where(), (at{6, 5}));
    th_cxy(0, 1);
    th_p_str("ab\b\b\bc");
    EXPECT_EQ(where(), (at{1, 1})) << "backspace stops at the left margin";
    th_p_str("\n");
    th_inslin();
    th_dellin();
    EXPECT_EQ(where(), (at{0, 2})) << "row edits leave the cursor where it was";
    EXPECT_EQ(th_stats.raw_chars, 3 + 8 + 8 + 3);
    for (int b = 0; b < 256; b++) EXPECT_EQ(th_isprint(b) != 0, b >= 32 && b < 127) << b;
}

} // namespace
