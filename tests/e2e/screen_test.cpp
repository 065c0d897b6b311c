// What the screen shows of a buffer, seen through a real terminal:
// screen_demo loads a file and moves around in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/screen_session.h"

namespace {

using e2e::placed;
using e2e::screen_session;
using rows = std::vector<std::string>;

const std::string DOWN = "\x1b[B", HOME = "\x1b[H", END = "\x1b[F";

// An open fold holding a closed one, an open and a closed virtual fold, a
// tab, a control and a high byte, then plain lines.
std::string sample() {
    std::string s = "first line\n/*...Sopen fold:2:*/\ninside one\n\tinside two\n"
                    "/*...sclosed:4:*/\nhidden\n/*...e*/\n/*...e*/\n/*...V\"other.top\":4:*/\n"
                    "/*...v\"closed.top\":0:*/\ntab\there\nctrl \x01 high \xc8 end\n";
    for (int i = 1; i <= 30; i++) s += "line " + std::to_string(i) + "\n";
    return s;
}

// The screen of the sample: the status rows (the line number counted from 1),
// the prompt line, then text rows from the given one of the sample's list.
rows sample_screen(int cols, int n_rows, const std::string &line, const std::string &message,
                   int first) {
    // clang-format off
    rows screen{placed({{0, "sample.top"}, {cols - 21, "top"}, {cols - 5 - int(line.size()), line}, {cols - 4, "1"}}),
                placed({{cols - 22, "autoindent"}, {cols - 10, "insert"}, {cols - 2, "^I"}}),
                message};
    rows list{"~", "first line", "  {{{ open fold", "  inside one", "        inside two",
              "    ... closed", "  }}}", "    >>> \"other.top\"", "::: \"closed.top\"",
              "tab     here", "ctrl ? high ? end"};
    // clang-format on
    for (int i = 1; i <= 30; i++) list.push_back("line " + std::to_string(i));
    screen.insert(screen.end(), list.begin() + first, list.begin() + first + n_rows - 3);
    return screen;
}

TEST(E2eScreen, FoldsAndBytesAtSeveralSizes) {
    for (auto [cols, n_rows] : {std::pair{80, 24}, {40, 10}, {120, 30}}) {
        e2e::options size;
        size.cols = cols;
        size.rows = n_rows;
        screen_session s(sample(), size);
        std::string size_text = std::to_string(cols) + "x" + std::to_string(n_rows);
        ASSERT_TRUE(
            s->wait_screen(sample_screen(cols, n_rows, "1", "screen_demo " + size_text, 0)));
        EXPECT_EQ(s->cursor_row(), 4);
        if (cols != 80) continue;
        // Text white, fold and end lines brown (bold yellow), status brown on red.
        for (int row : {3, 4, 6, 12}) EXPECT_TRUE(s->at(row, 0).fg == 7 && !s->at(row, 0).bold);
        for (auto [row, col] : {std::pair{5, 2}, {8, 4}, {9, 2}, {10, 4}, {11, 0}})
            EXPECT_TRUE(s->at(row, col).fg == 3 && s->at(row, col).bold) << row;
        for (int row : {0, 1, 2}) EXPECT_TRUE(s->at(row, 79).bg == 1 && s->at(row, 0).fg == 3);
    }
}

TEST(E2eScreen, WhiteSpaceMarksTagsAndAOneRowScroll) {
    screen_session s(sample());
    ASSERT_TRUE(s.started());
    s->type("\x17"); // ^W
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(4), "first.line");
    EXPECT_EQ(s->row(5), "  {{{ open.fold");
    EXPECT_EQ(s->row(7), "       >inside.two");
    EXPECT_EQ(s->row(12), "tab    >here");
    EXPECT_EQ(s->row(13), "ctrl.^A.high.<c8>.end");
    // ^W back; mark 1 on "first line", mark 2 on "other.top", which ^T tags:
    // the block holds the first line and the open fold with all it shows.
    s->type("\x17\x01" + DOWN + DOWN + "\x02\x14");
    ASSERT_TRUE(s.settle());
    for (int row = 3; row <= 10; row++)
        for (int col : {0, 40, 79})
            EXPECT_EQ(s->at(row, col).bg, row > 3 && row < 10 ? 4 : 0) << row << "," << col;
    EXPECT_EQ(s->at(4, 0).fg, 7) << "marked text: white on blue";
    EXPECT_EQ(s->at(5, 2).fg, 3) << "marked fold: brown on blue";
    EXPECT_EQ(s->row(10), placed({{0, "    >>> \"other.top\""}, {78, "T"}}));
    EXPECT_TRUE(s->at(10, 78).fg == 3 && s->at(10, 78).bold) << "the tag in the fold colour";
    // Down to "line 10": the cursor stops on row 22 and the text moves up.
    for (int i = 0; i < 13; i++) s->type(DOWN);
    ASSERT_TRUE(s.settle());
    rows want = sample_screen(80, 24, "22", "sync 3", 1);
    want[9] = placed({{0, "    >>> \"other.top\""}, {78, "T"}});
    EXPECT_TRUE(s->wait_screen(want));
    EXPECT_EQ(s->cursor_row(), 22);
    screen_session wide(std::string(100, 'a') + "\n");
    ASSERT_TRUE(wide.started());
    wide->type("\x14");
    EXPECT_TRUE(wide->wait_row(4, std::string(77, 'a') + " T"));
}

TEST(E2eScreen, ScrollingSidewaysInStepsOfTwenty) {
    std::string digits;
    for (int i = 0; i < 10; i++) digits += "0123456789";
    // The first line ends on column x_size - 3, the second on x_size - 2;
    // Down keeps to line ends.
    screen_session s(digits.substr(0, 77) + "\n" + digits.substr(0, 78) + "\n" + digits + "\n");
    ASSERT_TRUE(s.started());
    struct {
        std::string key;
        int row;
        std::string text;
        int col;
        const char *below_the_end; // no ~ while scrolled
    } const steps[] = {
        {END, 4, digits.substr(0, 77), 77, "~"},
        {DOWN, 5, digits.substr(20, 58), 58, ""},
        {DOWN, 6, digits.substr(40), 60, ""},
        {HOME, 6, digits.substr(0, 80), 0, "~"},
    };
    for (const auto &step : steps) {
        s->type(step.key);
        ASSERT_TRUE(s.settle());
        EXPECT_EQ(s->row(step.row), step.text);
        EXPECT_EQ(s->cursor_col(), step.col);
        EXPECT_EQ(s->row(8), step.below_the_end);
    }
}

TEST(E2eScreen, StatusFieldsAndColourMode2) {
    // A terminal type without the repeat sequence, which libvterm gets wrong
    // when a repeat ends next to the last column.
    e2e::options no_repeat;
    no_repeat.term = "xterm-xfree86";
    std::string name = std::string(60, 'n') + ".top";
    screen_session s("c\na\tb\n", no_repeat, {"-f", "0x104", "-c", "2"}, name);
    ASSERT_TRUE(s.started());
    EXPECT_EQ(s->row(1), placed({{58, "autoindent"}, {69, "overtype"}, {78, "4"}}));
    // Mark 1, Down, mark 2, End: the column after "a", the tab and "b".
    s->type("\x01" + DOWN + "\x02" + END);
    ASSERT_TRUE(s.settle());
    EXPECT_EQ(s->row(0), placed({{0, name.substr(0, 58)}, {59, "top"}, {74, "2"}, {76, "10"}}));
    // Without colour the status colour stands out, as does the marked one;
    // the highlighted option of a question is plain.
    s->type("\x1b[[D"); // F4: yes or no
    ASSERT_TRUE(s->wait_row(2, "sure? yes no"));
    for (int col : {0, 10, 79}) EXPECT_TRUE(s->at(0, col).reverse && s->at(2, col).reverse);
    EXPECT_FALSE(s->at(2, 6).reverse) << "the highlighted option";
    EXPECT_TRUE(s->at(4, 40).reverse && s->at(4, 79).reverse) << "the marked row";
    EXPECT_FALSE(s->at(5, 0).reverse) << "a text row";
    s->type("\r");
    ASSERT_TRUE(s->wait_row(2, "yes/no 1 1"));
    screen_session wide("a\n", {}, {"-f", "0xff"});
    EXPECT_TRUE(wide->wait_row(1, placed({{69, "overtype"}, {77, "255"}})));
}

} // namespace
