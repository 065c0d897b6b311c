#include "display/terminal.h"

#include <gtest/gtest.h>

namespace {

// Curses is not brought up here: the primitives keep the tracked cursor and
// the counters all the same.
class TerminalOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        x_size = 20;
        y_size = 10;
        th_stats = {};
    }
    static std::pair<int, int> where() { return {th_cursor_x(), th_cursor_y()}; }
    using at = std::pair<int, int>;
};

TEST_F(TerminalOutput, TabWritesSpacesToTheNextMultipleOfEight) {
    th_cxy(5, 4);
    th_p_chr('\t');
    EXPECT_EQ(th_stats.raw_chars, 3);
    EXPECT_EQ(where(), (at{8, 4}));
    th_p_chr('\t');
    EXPECT_EQ(th_stats.raw_chars, 3 + 8);
    EXPECT_EQ(where(), (at{16, 4}));
    // Past the margin the spaces wrap like any others.
    th_p_chr('\t');
    EXPECT_EQ(th_stats.raw_chars, 3 + 8 + 8);
    EXPECT_EQ(where(), (at{4, 5}));
}

TEST_F(TerminalOutput, RawOutputWrapsAtTheRightMargin) {
    th_cxy(18, 2);
    th_p_raw_chr('a');
    EXPECT_EQ(where(), (at{19, 2}));
    th_p_raw_chr('b');
    EXPECT_EQ(where(), (at{0, 3}));
    th_cxy(15, 3);
    th_p_raw_str("0123456789012345678901234567890"); // 31 cells
    EXPECT_EQ(where(), (at{6, 5}));
    th_p_raw_str("");
    EXPECT_EQ(where(), (at{6, 5}));
    EXPECT_EQ(th_stats.raw_strings, 2);
}

TEST_F(TerminalOutput, NewlineAndBackspaceOnlyMoveTheCursor) {
    th_cxy(7, 1);
    th_p_str("ab\b\bc\n");
    EXPECT_EQ(where(), (at{0, 2}));
    EXPECT_EQ(th_stats.raw_chars, 3);
    th_p_chr('\b');
    EXPECT_EQ(where(), (at{0, 2})) << "backspace stops at the left margin";
    EXPECT_EQ(th_stats.raw_chars, 3);
}

TEST_F(TerminalOutput, RowEditsAndClearsLeaveTheCursorWhereItWas) {
    th_cxy(3, 6);
    th_inslin();
    th_dellin();
    th_dellin();
    th_deleol();
    EXPECT_EQ(where(), (at{3, 6}));
    EXPECT_EQ(th_stats.inserted_rows, 1);
    EXPECT_EQ(th_stats.deleted_rows, 2);
    EXPECT_EQ(th_stats.cleared_eols, 1);
    th_cls();
    EXPECT_EQ(where(), (at{0, 0}));
    th_cy(9);
    EXPECT_EQ(where(), (at{0, 9}));
}

TEST(TerminalText, PrintableBytesAreThoseOfThePosixLocale) {
    for (int b = 0; b < 256; b++) EXPECT_EQ(th_isprint(b) != 0, b >= 32 && b < 127) << b;
}

} // namespace
