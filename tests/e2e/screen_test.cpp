// What the screen shows of a buffer and how it is brought up to date, seen
// through a real terminal: screen_demo loads a file and moves around in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/pty_terminal.h"
#include "e2e/screen_session.h"

namespace {

using e2e::placed;
using e2e::screen_session;
using rows = std::vector<std::string>;

const char *const UP = "\x1b[A", *const DOWN = "\x1b[B", *const RIGHT = "\x1b[C";
const char *const HOME = "\x1b[H", *const END = "\x1b[F", *const PGDN = "\x1b[6~";
const char *const F9 = "\x1b[20~", *const F10 = "\x1b[21~", *const F12 = "\x1b[24~";

// An open fold holding a closed one, an open and a closed virtual fold, a
// tab, a control and a high byte, then plain lines.
std::string sample() {
    std::string s = "first line\n/*...Sopen fold:2:*/\ninside one\n\tinside two\n"
                    "/*...sclosed:4:*/\nhidden\n/*...e*/\n/*...e*/\n/*...V\"other.top\":4:*/\n"
                    "/*...v\"closed.top\":0:*/\ntab\there\nctrl \x01 high \xc8 end\n";
    for (int i = 1; i <= 30; i++) s += "line " + std::to_string(i) + "\n";
    return s;
}

// The screen of the sample as first drawn, at any size.
rows sample_screen(int cols, int n_rows, const std::string &status0_line = "1") {
    rows screen{placed({{0, "sample.top"},
                        {cols - 21, "top"},
                        {cols - 5 - static_cast<int>(status0_line.size()), status0_line},
                        {cols - 4, "1"}}),
                placed({{cols - 22, "autoindent"}, {cols - 10, "insert"}, {cols - 2, "^I"}}),
                "",
                "~",
                "first line",
                "  {{{ open fold",
                "  inside one",
                "        inside two",
                "    ... closed",
                "  }}}",
                "    >>> \"other.top\"",
                "::: \"closed.top\"",
                "tab     here",
                "ctrl ? high ? end"};
    for (int i = 1; static_cast<int>(screen.size()) < n_rows; i++)
        screen.push_back("line " + std::to_string(i));
    screen.resize(static_cast<size_t>(n_rows));
    return screen;
}

// F12 shows the rows drawn, inserted and deleted since the last F12.
testing::AssertionResult counters(screen_session &s, const std::string &expected) {
    if (testing::AssertionResult settled = s.settle(); !settled) return settled;
    s->type(F12);
    return s->wait_row(2, expected);
}

TEST(E2eScreen, FoldsAndBytesAtSeveralSizes) {
    for (auto [cols, n_rows] : {std::pair{80, 24}, {40, 10}, {120, 30}}) {
        e2e::options size;
        size.cols = cols;
        size.rows = n_rows;
        screen_session s(sample(), size);
        rows want = sample_screen(cols, n_rows);
        want[2] = "screen_demo " + std::to_string(cols) + "x" + std::to_string(n_rows);
        ASSERT_TRUE(s->wait_screen(want)) << cols;
        EXPECT_EQ(s->cursor_row(), 4);
        if (cols != 80) continue;
        // Text white, fold and end lines brown (bold yellow), status brown on red.
        for (int row : {3, 4, 6, 12}) EXPECT_FALSE(s->at(row, 0).bold) << row;
        for (auto [row, col] : {std::pair{5, 2}, {8, 4}, {9, 2}, {10, 4}, {11, 0}})
            EXPECT_TRUE(s->at(row, col).fg == 3 && s->at(row, col).bold) << row;
        for (int row : {0, 1, 2}) EXPECT_EQ(s->at(row, 79).bg, 1) << row;
    }
}

TEST(E2eScreen, AFoldEnteredShowsItsListAlone) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    s->type(std::string(DOWN) + "\x05"); // ^E enters the open fold
    rows inside{placed({{0, "sample.top"}, {59, "top"}, {74, "3"}, {76, "1"}}),
                placed({{0, "open fold"}, {58, "autoindent"}, {70, "insert"}, {78, "^I"}}),
                "key 5 0x5 ^E"};
    inside.resize(12, "~");
    inside.insert(inside.end(), {"inside one", "        inside two", "  ... closed", "^"});
    inside.resize(24, "~");
    ASSERT_TRUE(s->wait_screen(inside));
    EXPECT_EQ(s->cursor_row(), 12);
    s->type("\x0c"); // ^L leaves it, back on the fold line
    rows back = sample_screen(80, 24, "2");
    back[2] = "key 12 0xc ^L";
    EXPECT_TRUE(s->wait_screen(back));
    s->type("\x0f"); // ^O closes it
    ASSERT_TRUE(s->wait_row(2, "key 15 0xf ^O"));
    EXPECT_EQ(s->row(5), "  ... open fold");
    EXPECT_EQ(s->row(6), "    >>> \"other.top\"");
}

TEST(E2eScreen, RowsMoveByInsertsAndDeletesAndOnlyChangedRowsAreDrawn) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    // Down to "line 1", on row 14: the cursor moves, the rows laid out
    // upwards from it are the rows that were there.
    for (int i = 0; i < 6; i++) s->type(DOWN);
    ASSERT_TRUE(counters(s, "drawn 0 ins 0 del 0"));
    EXPECT_EQ(s->cursor_row(), 14);
    // Down to "line 9" on row 22, the lowest the cursor goes; one more
    // scrolls the text up by one row.
    for (int i = 0; i < 8; i++) s->type(DOWN);
    ASSERT_TRUE(counters(s, "drawn 0 ins 0 del 0"));
    s->type(DOWN);
    ASSERT_TRUE(counters(s, "drawn 1 ins 0 del 1"));
    EXPECT_EQ(s->row(3), "first line");
    EXPECT_EQ(s->row(23), "line 11");
    // Up to the fold line on row 4, the highest; one more scrolls down.
    for (int i = 0; i < 14; i++) s->type(UP);
    ASSERT_TRUE(counters(s, "drawn 0 ins 0 del 0"));
    s->type(UP);
    ASSERT_TRUE(counters(s, "drawn 1 ins 1 del 0"));
    EXPECT_EQ(s->row(3), "~");
    // Four lines on, the cursor row kept: all 21 rows are drawn again;
    // three lines on: they move up by three.
    for (int i = 0; i < 6; i++) s->type(DOWN);
    s->type(PGDN);
    ASSERT_TRUE(counters(s, "drawn 21 ins 0 del 0"));
    EXPECT_EQ(s->row(14), "line 5");
    s->type(F10);
    ASSERT_TRUE(counters(s, "drawn 3 ins 0 del 3"));
    EXPECT_EQ(s->row(14), "line 8");
    // An edited line is the only row drawn; a deleted line's rows close up;
    // a new line pushes the rows down.
    s->type("x");
    ASSERT_TRUE(counters(s, "drawn 1 ins 0 del 0"));
    EXPECT_EQ(s->row(14), "xline 8");
    s->type("\x04"); // ^D
    ASSERT_TRUE(counters(s, "drawn 1 ins 0 del 1"));
    EXPECT_EQ(s->row(14), "line 9");
    s->type("\x0e"); // ^N
    ASSERT_TRUE(counters(s, "drawn 1 ins 1 del 0"));
    EXPECT_EQ(s->row(15), "line 9");
}

TEST(E2eScreen, MarkedRowsAcrossTheWidthAndTaggedRows) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    // Mark 1 on "first line", mark 2 on "other.top": the block holds the
    // first line and the open fold with all it shows.
    s->type(std::string("\x01") + DOWN + DOWN + "\x02");
    ASSERT_TRUE(s->wait_row(2, "key 2 0x2 ^B"));
    for (int row = 4; row <= 9; row++)
        for (int col : {0, 1, 40, 79}) EXPECT_EQ(s->at(row, col).bg, 4) << row << "," << col;
    EXPECT_EQ(s->at(4, 0).fg, 7) << "marked text: white on blue";
    EXPECT_EQ(s->at(5, 2).fg, 3) << "marked fold: brown on blue";
    for (int row : {3, 10}) EXPECT_EQ(s->at(row, 0).bg, 0) << row;
    s->type("\x15\x14"); // ^U unmarks; ^T tags "other.top"
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->at(4, 79).bg, 0);
    EXPECT_EQ(s->row(10), placed({{0, "    >>> \"other.top\""}, {78, "T"}}));
    EXPECT_TRUE(s->at(10, 78).fg == 3 && s->at(10, 78).bold) << "the tag in the fold colour";
    screen_session wide(std::string(100, 'a') + "\n");
    ASSERT_TRUE(wide.started());
    wide->type("\x14");
    ASSERT_TRUE(wide.settle());
    EXPECT_EQ(wide->row(4), std::string(77, 'a') + " T");
}

TEST(E2eScreen, WhiteSpaceVisible) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    s->type("\x17"); // ^W
    ASSERT_TRUE(s.settle());
    rows want{"first.line", "  {{{ open.fold", "  inside.one", "       >inside.two"};
    for (size_t i = 0; i < want.size(); i++) EXPECT_EQ(s->row(4 + static_cast<int>(i)), want[i]);
    EXPECT_EQ(s->row(12), "tab    >here");
    EXPECT_EQ(s->row(13), "ctrl.^A.high.<c8>.end");
    s->type("\x17");
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(13), "ctrl ? high ? end");
}

TEST(E2eScreen, ScrollingSidewaysInStepsOfTwenty) {
    std::string digits;
    for (int i = 0; i < 10; i++) digits += "0123456789";
    screen_session s("short\n" + digits + "\n");
    ASSERT_TRUE(s.started());
    s->type(DOWN);
    for (int i = 0; i < 77; i++) s->type(RIGHT);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(0), placed({{0, "sample.top"}, {59, "top"}, {74, "2"}, {76, "78"}}));
    EXPECT_EQ(s->cursor_col(), 77) << "column x_size - 3 is not scrolled";
    s->type(RIGHT);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(5), digits.substr(20, 80));
    EXPECT_EQ(s->cursor_col(), 58);
    EXPECT_EQ(s->row(4), "") << "the short line is off to the left";
    EXPECT_EQ(s->row(7), "") << "no ~ while scrolled";
    s->type(END);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(5), digits.substr(40));
    EXPECT_EQ(s->cursor_col(), 60);
    s->type(HOME);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->screen(), (rows{s->row(0), s->row(1), "sync 4", "~", "short", digits.substr(0, 80),
                                 "^",       "~",       "~",      "~", "~",     "~",
                                 "~",       "~",       "~",      "~", "~",     "~",
                                 "~",       "~",       "~",      "~", "~",     "~"}));
}

TEST(E2eScreen, StatusSettingsAndColourMode2) {
    // A terminal type without the repeat sequence, which libvterm gets wrong
    // when a repeat ends next to the last column.
    e2e::options no_repeat;
    no_repeat.term = "xterm-xfree86";
    screen_session s("a\tb\nc\n", no_repeat, {"-f", "0x104", "-c", "2"});
    ASSERT_TRUE(s->wait_row(1, placed({{58, "autoindent"}, {69, "overtype"}, {78, "4"}})));
    s->type(std::string(RIGHT) + RIGHT + F9);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(0), placed({{0, "sample.top"}, {59, "top"}, {74, "1"}, {76, "9"}}))
        << "the column after the tab, counted from 1";
    EXPECT_EQ(s->row(1), placed({{58, "autoindent"}, {70, "insert"}, {78, "4"}}));
    // Without colour the status colour stands out, as does the marked one.
    s->type(std::string("\x01") + DOWN + "\x02");
    ASSERT_TRUE(s.settle());
    for (int col : {0, 40, 79}) EXPECT_TRUE(s->at(0, col).reverse && s->at(2, col).reverse);
    EXPECT_TRUE(s->at(4, 40).reverse && s->at(4, 79).reverse) << "the marked row";
    EXPECT_FALSE(s->at(5, 0).reverse) << "a text row";
    screen_session wide("a\n", {}, {"-f", "0xff"});
    EXPECT_TRUE(wide->wait_row(1, placed({{69, "overtype"}, {77, "255"}})));
}

} // namespace
