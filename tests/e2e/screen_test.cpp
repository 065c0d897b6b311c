// What the screen shows of a buffer, and how it is brought up to date, seen
// through a real terminal: screen_demo loads a file and moves around in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/pty_terminal.h"
#include "e2e/screen_session.h"

namespace {

using e2e::placed;
using e2e::screen_session;

const char *const UP = "\x1b[A";
const char *const DOWN = "\x1b[B";
const char *const RIGHT = "\x1b[C";
const char *const HOME = "\x1b[H";
const char *const END = "\x1b[F";
const char *const PGDN = "\x1b[6~";
const char *const F9 = "\x1b[20~";
const char *const F10 = "\x1b[21~";
const char *const F12 = "\x1b[24~";

// A file with an open fold holding a closed one, an open and a closed
// virtual fold, a tab, a control and a high byte, then plain lines.
std::string sample() {
    std::string s = "first line\n"
                    "/*...Sopen fold:2:*/\n"
                    "inside one\n"
                    "\tinside two\n"
                    "/*...sclosed:4:*/\n"
                    "hidden\n"
                    "/*...e*/\n"
                    "/*...e*/\n"
                    "/*...V\"other.top\":4:*/\n"
                    "/*...v\"closed.top\":0:*/\n"
                    "tab\there\n"
                    "ctrl \x01 high \xc8 end\n";
    for (int i = 1; i <= 30; i++) s += "line " + std::to_string(i) + "\n";
    return s;
}

// The rows of the sample from its first line down, as first drawn.
const std::vector<std::string> sample_rows = {
    "first line",
    "  {{{ open fold",
    "  inside one",
    "        inside two",
    "    ... closed",
    "  }}}",
    "    >>> \"other.top\"",
    "::: \"closed.top\"",
    "tab     here",
    "ctrl ? high ? end",
};

std::vector<std::string> sample_screen(int rows, const std::string &prompt_row,
                                       const std::string &status0, const std::string &status1) {
    std::vector<std::string> screen{status0, status1, prompt_row, "~"};
    screen.insert(screen.end(), sample_rows.begin(), sample_rows.end());
    for (int i = 1; static_cast<int>(screen.size()) < rows; i++)
        screen.push_back("line " + std::to_string(i));
    screen.resize(static_cast<size_t>(rows));
    return screen;
}

// Presses F12 and waits for the counters it shows; they start again from 0.
testing::AssertionResult counters(screen_session &s, const std::string &expected) {
    if (testing::AssertionResult settled = s.settle(); !settled) return settled;
    s->type(F12);
    return s->wait_row(2, expected);
}

TEST(E2eScreen, FoldsVirtualFoldsAndBytesAtTheirIndents) {
    screen_session s(sample());
    ASSERT_TRUE(s->wait_screen(sample_screen(
        24, "screen_demo 80x24", placed({{0, "sample.top"}, {59, "top"}, {74, "1"}, {76, "1"}}),
        placed({{58, "autoindent"}, {70, "insert"}, {78, "^I"}}))));
    EXPECT_EQ(s->cursor_row(), 4);
    EXPECT_EQ(s->cursor_col(), 0);
    // Text in the text colour, fold lines and end lines in the fold colour
    // (brown, drawn as bold yellow), status rows brown on red.
    for (int row : {3, 4, 6, 12}) {
        EXPECT_EQ(s->at(row, 0).fg, 7) << row;
        EXPECT_FALSE(s->at(row, 0).bold) << row;
    }
    for (auto [row, col] : {std::pair{5, 2}, {8, 4}, {9, 2}, {10, 4}, {11, 0}}) {
        EXPECT_EQ(s->at(row, col).fg, 3) << row;
        EXPECT_TRUE(s->at(row, col).bold) << row;
    }
    for (int row : {0, 1, 2}) {
        EXPECT_EQ(s->at(row, 30).bg, 1) << row;
        EXPECT_EQ(s->at(row, 79).bg, 1) << row;
    }
}

TEST(E2eScreen, SmallAndLargeScreens) {
    {
        e2e::options small;
        small.cols = 40;
        small.rows = 10;
        screen_session s(sample(), small);
        EXPECT_TRUE(s->wait_screen(sample_screen(
            10, "screen_demo 40x10", placed({{0, "sample.top"}, {19, "top"}, {34, "1"}, {36, "1"}}),
            placed({{18, "autoindent"}, {30, "insert"}, {38, "^I"}}))));
    }
    e2e::options large;
    large.cols = 120;
    large.rows = 30;
    screen_session s(sample(), large);
    EXPECT_TRUE(s->wait_screen(sample_screen(
        30, "screen_demo 120x30", placed({{0, "sample.top"}, {99, "top"}, {114, "1"}, {116, "1"}}),
        placed({{98, "autoindent"}, {110, "insert"}, {118, "^I"}}))));
}

TEST(E2eScreen, EnteringAFoldShowsItsListAlone) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    s->type(DOWN);
    s->type("\x05"); // ^E: enter the open fold
    // Its list from row y_size / 2, its end line "^", "~" above and below.
    std::vector<std::string> inside{
        placed({{0, "sample.top"}, {59, "top"}, {74, "3"}, {76, "1"}}),
        placed({{0, "open fold"}, {58, "autoindent"}, {70, "insert"}, {78, "^I"}}), "key 5 0x5 ^E"};
    inside.resize(12, "~");
    inside.insert(inside.end(), {"inside one", "        inside two", "  ... closed", "^"});
    inside.resize(24, "~");
    ASSERT_TRUE(s->wait_screen(inside));
    EXPECT_EQ(s->cursor_row(), 12);
    EXPECT_EQ(s->at(15, 0).fg, 3) << "the end line in the fold colour";
    s->type("\x0c"); // ^L: back out, onto the fold line
    std::vector<std::string> back = sample_screen(
        24, "key 12 0xc ^L", placed({{0, "sample.top"}, {59, "top"}, {74, "2"}, {76, "1"}}),
        placed({{58, "autoindent"}, {70, "insert"}, {78, "^I"}}));
    EXPECT_TRUE(s->wait_screen(back));
    EXPECT_EQ(s->cursor_row(), 5);
    // Closing the fold hides its contents; the rows below move up.
    s->type("\x0f"); // ^O
    ASSERT_TRUE(s->wait_row(2, "key 15 0xf ^O"));
    EXPECT_EQ(s->row(5), "  ... open fold");
    EXPECT_EQ(s->row(6), "    >>> \"other.top\"");
}

TEST(E2eScreen, RowsAboveTheCursorAreLaidOutLikeRowsBelowIt) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(counters(s, "drawn 0 ins 0 del 0"));
    // Down six times walks to "line 1", shown on row 14: the cursor follows
    // it and the picture, laid out upwards from the cursor now, stays as it
    // was, so no row is drawn.
    for (int i = 0; i < 6; i++) s->type(DOWN);
    ASSERT_TRUE(counters(s, "drawn 0 ins 0 del 0"));
    EXPECT_EQ(s->row(0), placed({{0, "sample.top"}, {59, "top"}, {73, "13"}, {76, "1"}}));
    EXPECT_EQ(s->cursor_row(), 14);
    EXPECT_EQ(s->row(3), "~");
    EXPECT_EQ(s->row(9), "  }}}");
}

TEST(E2eScreen, AOneRowScrollIsOneRowInsertOrDelete) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    // To "line 9" on row 22, the lowest the cursor goes.
    for (int i = 0; i < 14; i++) s->type(DOWN);
    ASSERT_TRUE(counters(s, "drawn 0 ins 0 del 0"));
    ASSERT_EQ(s->row(0), placed({{0, "sample.top"}, {59, "top"}, {73, "21"}, {76, "1"}}));
    ASSERT_EQ(s->cursor_row(), 22);
    s->type(DOWN);
    ASSERT_TRUE(s->wait_row(2, "key 259 0x103 Down"));
    EXPECT_EQ(s->row(23), "line 11");
    EXPECT_EQ(s->row(3), "first line");
    EXPECT_EQ(s->row(22), "line 10");
    EXPECT_EQ(s->cursor_row(), 22);
    EXPECT_TRUE(counters(s, "drawn 1 ins 0 del 1"));
    // Back up to the fold line on row 4, the highest the cursor goes; one
    // more line up scrolls the text down by one row.
    for (int i = 0; i < 14; i++) s->type(UP);
    ASSERT_TRUE(counters(s, "drawn 0 ins 0 del 0"));
    ASSERT_EQ(s->row(0), placed({{0, "sample.top"}, {59, "top"}, {74, "2"}, {76, "1"}}));
    ASSERT_EQ(s->cursor_row(), 4);
    s->type(UP);
    ASSERT_TRUE(s->wait_row(2, "key 258 0x102 Up"));
    EXPECT_EQ(s->row(3), "~");
    EXPECT_EQ(s->row(4), "first line");
    EXPECT_EQ(s->row(23), "line 10");
    EXPECT_TRUE(counters(s, "drawn 1 ins 1 del 0"));
}

TEST(E2eScreen, LinesMovedFourRowsAreDrawnAgainAndThreeRowsMoved) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    for (int i = 0; i < 6; i++) s->type(DOWN);
    ASSERT_TRUE(counters(s, "drawn 0 ins 0 del 0"));
    s->type(PGDN); // four lines on, the cursor row kept: every row changes
    ASSERT_TRUE(s->wait_row(2, "key 263 0x107 PgDn"));
    EXPECT_EQ(s->row(3), "        inside two");
    EXPECT_EQ(s->row(14), "line 5");
    EXPECT_TRUE(counters(s, "drawn 21 ins 0 del 0"));
    s->type(F10); // three lines on: the rows move up by three
    ASSERT_TRUE(s->wait_row(2, "key 522 0x20a F10"));
    EXPECT_EQ(s->row(3), "    >>> \"other.top\"");
    EXPECT_EQ(s->row(14), "line 8");
    EXPECT_EQ(s->row(23), "line 17");
    EXPECT_TRUE(counters(s, "drawn 3 ins 0 del 3"));
}

TEST(E2eScreen, OnlyChangedRowsAreDrawn) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(counters(s, "drawn 0 ins 0 del 0"));
    s->type("x");
    ASSERT_TRUE(s->wait_row(2, "key 120 0x78 no name"));
    EXPECT_EQ(s->row(4), "xfirst line");
    EXPECT_EQ(s->cursor_col(), 1);
    EXPECT_TRUE(counters(s, "drawn 1 ins 0 del 0"));
    // A deleted line's row is given up and the rows below move up.
    s->type("\x04"); // ^D
    ASSERT_TRUE(s->wait_row(2, "key 4 0x4 ^D"));
    EXPECT_EQ(s->row(4), "  {{{ open fold");
    EXPECT_EQ(s->row(23), "line 11");
    EXPECT_TRUE(counters(s, "drawn 1 ins 0 del 1"));
    s->type("\x0e"); // ^N: a new line pushes the rows down
    ASSERT_TRUE(s->wait_row(2, "key 14 0xe ^N"));
    EXPECT_EQ(s->row(5), "  {{{ open fold");
    EXPECT_EQ(s->row(4), "");
    EXPECT_TRUE(counters(s, "drawn 1 ins 1 del 0"));
}

TEST(E2eScreen, MarkedRowsAcrossTheFullWidthWithTheFoldsTheyHold) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    s->type("\x01"); // ^A: mark 1 on "first line"
    s->type(DOWN);   // the fold line
    s->type(DOWN);   // "other.top"
    s->type("\x02"); // ^B: mark 2, the block ends before it
    ASSERT_TRUE(s->wait_row(2, "key 2 0x2 ^B"));
    for (int row = 4; row <= 9; row++)
        for (int col : {0, 1, 40, 79}) EXPECT_EQ(s->at(row, col).bg, 4) << row << "," << col;
    EXPECT_EQ(s->at(4, 0).fg, 7) << "marked text: white on blue";
    EXPECT_EQ(s->at(5, 2).fg, 3) << "marked fold: brown on blue";
    EXPECT_EQ(s->at(9, 2).fg, 3);
    for (int row : {3, 10, 11}) EXPECT_EQ(s->at(row, 0).bg, 0) << row;
    s->type("\x15"); // ^U
    ASSERT_TRUE(s->wait_row(2, "key 21 0x15 ^U"));
    EXPECT_EQ(s->at(4, 79).bg, 0);
    EXPECT_EQ(s->at(9, 0).bg, 0);
}

TEST(E2eScreen, TaggedLinesEndInAT) {
    std::string longer(100, 'a');
    screen_session s("short\n" + longer + "\n");
    ASSERT_TRUE(s.started());
    s->type("\x14"); // ^T
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(4), placed({{0, "short"}, {78, "T"}}));
    EXPECT_EQ(s->at(4, 78).fg, 3) << "the tag in the fold colour";
    EXPECT_TRUE(s->at(4, 78).bold);
    s->type(DOWN);
    s->type("\x14");
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(5), std::string(77, 'a') + " T");
    s->type("\x14");
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(5), std::string(80, 'a'));
    EXPECT_EQ(s->row(6), "^");
    EXPECT_EQ(s->row(7), "~");
}

TEST(E2eScreen, WhiteSpaceHiddenAndVisible) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    s->type("\x17"); // ^W
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(4), "first.line");
    EXPECT_EQ(s->row(7), "       >inside.two");
    EXPECT_EQ(s->row(12), "tab    >here");
    EXPECT_EQ(s->row(13), "ctrl.^A.high.<c8>.end");
    EXPECT_EQ(s->row(5), "  {{{ open.fold") << "the marker's blank is no white space";
    s->type("\x17");
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(13), "ctrl ? high ? end");
    EXPECT_EQ(s->row(4), "first line");
    EXPECT_EQ(s->row(7), "        inside two");
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
    EXPECT_EQ(s->row(4), "short");
    s->type(RIGHT);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(5), digits.substr(20, 80));
    EXPECT_EQ(s->cursor_col(), 58);
    EXPECT_EQ(s->row(4), "") << "short lines are off to the left";
    EXPECT_EQ(s->row(7), "") << "no ~ while scrolled";
    s->type(END);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(5), digits.substr(40));
    EXPECT_EQ(s->cursor_col(), 60);
    EXPECT_EQ(s->row(6), "") << "the end line is off to the left too";
    s->type(HOME);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(5), digits.substr(0, 80));
    EXPECT_EQ(s->row(3), "~");
    EXPECT_EQ(s->row(6), "^");
    EXPECT_EQ(s->cursor_col(), 0);
}

TEST(E2eScreen, StatusRowsShowTheSettings) {
    screen_session s("a\tb\n", {}, {"-f", "0x104"});
    ASSERT_TRUE(s->wait_row(1, placed({{58, "autoindent"}, {69, "overtype"}, {78, "4"}})));
    s->type(RIGHT);
    s->type(RIGHT);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(0), placed({{0, "sample.top"}, {59, "top"}, {74, "1"}, {76, "9"}}))
        << "the column after the tab, counted from 1";
    s->type(F9);
    EXPECT_TRUE(s->wait_row(1, placed({{58, "autoindent"}, {70, "insert"}, {78, "4"}})));
    screen_session wide("a\n", {}, {"-f", "0xff"});
    EXPECT_TRUE(wide->wait_row(1, placed({{69, "overtype"}, {77, "255"}})));
}

TEST(E2eScreen, ColourMode2DrawsWithStandout) {
    screen_session s(sample(), {}, {"-c", "2"});
    ASSERT_TRUE(s.started());
    s->type("\x01");
    s->type(DOWN);
    s->type("\x02");
    ASSERT_TRUE(s.settle());
    EXPECT_TRUE(s->at(4, 40).reverse) << "the marked row stands out";
    EXPECT_TRUE(s->at(0, 0).reverse) << "status rows stand out";
    // Not the last column: curses blanks a row with a repeat sequence, after
    // which libvterm drops the character written in the last column.
    for (int col : {0, 40, 78}) EXPECT_TRUE(s->at(2, col).reverse) << col;
    EXPECT_FALSE(s->at(5, 2).reverse) << "fold lines do not";
    EXPECT_FALSE(s->at(6, 2).reverse) << "nor do text lines";
}

} // namespace
