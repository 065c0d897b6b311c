// screen_demo at a real terminal: the keys it logs (each key's code and name),
// what it draws of a buffer as it moves around in it, and the questions it
// asks on the prompt line, one kind per function key.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "e2e/pty_terminal.h"
#include "support/scratch.h"

namespace {

using clock_type = std::chrono::steady_clock;
using rows = std::vector<std::string>;

// screen_demo on a file of given bytes, started in a scratch folder of its own
// so that the buffer's name is the short file name; it is ready once it has
// drawn the file and greeted.
struct screen_session {
    test_support::scratch_dir folder;
    std::unique_ptr<e2e::pty_terminal> t;
    int syncs = 0;

    explicit screen_session(const std::string &bytes) {
        test_support::write_file(folder.path("sample.top"), bytes);
        test_support::working_dir in(folder.path());
        t = std::make_unique<e2e::pty_terminal>(
            std::vector<std::string>{SCREEN_DEMO_PROGRAM, "sample.top"});
        EXPECT_TRUE(t->wait_row(2, "screen_demo 80x24")) << "the program's greeting";
    }
    ~screen_session() {
        t->type("\x11"); // ^Q, unless it has ended
        EXPECT_TRUE(t->wait_exit(0));
    }
    e2e::pty_terminal *operator->() { return t.get(); }

    // Waits until everything the keys typed so far drew is on the screen.
    testing::AssertionResult settle() {
        t->type("\x19"); // ^Y
        return t->wait_row(2, "sync " + std::to_string(++syncs));
    }
    // Waits until the prompt line reads text with the cursor at col.
    testing::AssertionResult asks(const std::string &text, int col) {
        return t->wait_for([&] { return t->row(2) == text && t->cursor_col() == col; },
                           "\"" + text + "\" with the cursor at " + std::to_string(col));
    }
    // Waits for the key log: the keys typed since the last settle.
    testing::AssertionResult logged(const std::string &keys) {
        return t->wait_row(2, "keys " + keys);
    }
};

// A row of texts placed at columns, blanks between them.
std::string placed(const std::vector<std::pair<int, std::string>> &texts) {
    std::string row;
    for (const auto &[col, text] : texts) {
        row.resize(std::max(row.size(), col + text.size()), ' ');
        row.replace(static_cast<size_t>(col), text.size(), text);
    }
    return row;
}

const std::string UP = "\x1b[A", DOWN = "\x1b[B", RIGHT = "\x1b[C", LEFT = "\x1b[D";
const std::string F1 = "\x1bOP", F2 = "\x1bOQ", F3 = "\x1bOR", F4 = "\x1b[[D";

// Keys, the one-second time-out, interrupts, and the terminal as
// the program switches it: bracketed paste on only while the program has it,
// and the modes it found given back at the end.
TEST(E2eKeys, BytesSequencesTimeOutsInterruptsAndTheTerminalGivenBack) {
    screen_session s("text\n");
    // Raw mode: suspend, quit, interrupt and flow control bytes are keys; high
    // bytes are Alt letters and digits, or no key.
    s->type(std::string("a\x01\r\x7f\x1c\x1a\x03\x13\0\xe1\xb5\xa0", 12));
    ASSERT_TRUE(s.logged("97 1 ^A 13 ^M 127 Del127 28 ^\\ 26 ^Z 3 ^C 19 ^S 0 16449 @A 16389 @5 0"));
    // Escape alone comes out after a second. (Sequences: the decoder's tests.)
    ASSERT_TRUE(s.settle());
    auto typed = clock_type::now();
    s->type("\x1b");
    ASSERT_TRUE(s.logged("27"));
    EXPECT_GE(clock_type::now() - typed, std::chrono::seconds(1));
    // An interrupt is recorded, and never fatal.
    ASSERT_TRUE(s.settle());
    s->type("a");
    ASSERT_TRUE(s.logged("97"));
    s->signal(SIGINT);
    s->type("bc\x1b[24~"); // F12: an outside command has the terminal
    ASSERT_TRUE(s.logged("97 98 SIGINT 99 524 F12"));
    const std::string &out = s->output();
    auto paste_on = [&](size_t at) { // by the last switch written before at
        size_t on = out.rfind("\x1b[?2004h", at), off = out.rfind("\x1b[?2004l", at);
        return on != std::string::npos && (off == std::string::npos || on > off);
    };
    size_t outside = out.find("outside");
    ASSERT_NE(outside, std::string::npos);
    EXPECT_FALSE(paste_on(outside));
    EXPECT_TRUE(paste_on(std::string::npos)) << "again after it";
    s->type("\x11"); // ^Q
    ASSERT_TRUE(s->wait_exit(0));
    EXPECT_FALSE(paste_on(std::string::npos)) << "at the end";
    EXPECT_TRUE(s->wait_screen({"outside"})) << "the screen outside the program";
    termios cooked = s->modes();
    EXPECT_EQ(cooked.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(ICANON | ECHO | ISIG));
    EXPECT_TRUE((cooked.c_iflag & ICRNL) && (cooked.c_oflag & ONLCR));
}

// An open fold holding a closed one, an open and a closed virtual fold, a
// tab, a control and a high byte, and a UTF-8 character (bytes in the C
// locale), then plain lines.
std::string sample() {
    std::string s = "first line\n/*...Sopen fold:2:*/\ninside one\n\tinside two\n"
                    "/*...sclosed:4:*/\nhidden\n/*...e*/\n/*...e*/\n/*...V\"other.top\":4:*/\n"
                    "/*...v\"closed.top\":0:*/\ntab\there\nctrl \x01 high \xc8 \xc3\xa9 end\n";
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
              "tab     here", "ctrl ? high ? ?? end"};
    // clang-format on
    for (int i = 1; i <= 30; i++) list.push_back("line " + std::to_string(i));
    screen.insert(screen.end(), list.begin() + first, list.begin() + first + n_rows - 3);
    return screen;
}

// Folds, bytes and colours; white space made visible; the block marked and
// a line tagged; a one-row scroll. (Other sizes: the resizing test; the tag
// mark's colour: the editor's colour test.)
TEST(E2eScreen, FoldsBytesWhiteSpaceMarksTagsAndAOneRowScroll) {
    screen_session s(sample());
    // The prompt line holds the greeting the session waited for.
    ASSERT_TRUE(s->wait_screen(sample_screen(80, 24, "1", s->row(2), 0)));
    EXPECT_EQ(s->cursor_row(), 4);
    // Text white, fold and end lines brown (bold yellow), status brown on red.
    for (int row : {3, 4, 6, 12}) EXPECT_TRUE(s->at(row, 0).fg == 7 && !s->at(row, 0).bold);
    for (auto [row, col] : {std::pair{5, 2}, {8, 4}, {9, 2}, {10, 4}, {11, 0}})
        EXPECT_TRUE(s->at(row, col).fg == 3 && s->at(row, col).bold) << row;
    for (int row : {0, 1, 2}) EXPECT_TRUE(s->at(row, 79).bg == 1 && s->at(row, 0).fg == 3);
    s->type("\x17"); // ^W
    ASSERT_TRUE(s.settle());
    for (auto [row, text] : {std::pair{4, "first.line"},
                             {5, "  {{{ open.fold"},
                             {7, "       >inside.two"},
                             {12, "tab    >here"},
                             {13, "ctrl.^A.high.<c8>.<c3><a9>.end"}})
        EXPECT_EQ(s->row(row), text);
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
    // Down to "line 10": the cursor stops on row 22 and the text moves up.
    for (int i = 0; i < 13; i++) s->type(DOWN);
    ASSERT_TRUE(s.settle());
    rows want = sample_screen(80, 24, "22", "sync 3", 1);
    want[9] = placed({{0, "    >>> \"other.top\""}, {78, "T"}});
    EXPECT_TRUE(s->wait_screen(want));
    EXPECT_EQ(s->cursor_row(), 22);
    screen_session wide(std::string(100, 'a') + "\n");
    wide->type("\x14");
    EXPECT_TRUE(wide->wait_row(4, std::string(77, 'a') + " T"));
}

TEST(E2eScreen, ResizedSmallerLargerTooSmallAndBack) {
    screen_session s(sample());
    const std::string greeting = s->row(2);
    s->resize(10, 40);
    ASSERT_TRUE(s->wait_screen(sample_screen(40, 10, "1", greeting, 0)));
    s->resize(30, 120);
    ASSERT_TRUE(s->wait_screen(sample_screen(120, 30, "1", greeting, 0)));
    // Lower down, then fewer rows: the cursor row keeps above the last.
    for (int i = 0; i < 12; i++) s->type(DOWN);
    ASSERT_TRUE(s.settle());
    ASSERT_EQ(s->cursor_row(), 20);
    const std::string current = s->row(20); // "line 7"
    s->resize(12, 80);
    ASSERT_TRUE(s->wait_for([&] { return s->cursor_row() == 10 && s->row(10) == current; },
                            "the current line on row 10"));
    // Too small: a notice; a key typed meanwhile is not lost.
    s->resize(8, 30);
    ASSERT_TRUE(s->wait_screen({"ox: window too small (40x10)"}));
    s->type(DOWN);
    s->resize(24, 80);
    ASSERT_TRUE(s.logged("259 Down"));
    EXPECT_EQ(s->cursor_row(), 11);
    EXPECT_EQ(s->row(0).substr(0, 10), "sample.top");
    // A question is asked on at the new size, with what was typed.
    s->type(F1 + "abc");
    ASSERT_TRUE(s.asks("string: abc", 11));
    s->resize(20, 50);
    ASSERT_TRUE(s.asks("string: abc", 11));
    s->type("d\r");
    EXPECT_TRUE(s->wait_row(2, "string 1 4 \"abcd\""));
}

// Each question key with the keys typed after it, and the answer shown.
void expect_answers(screen_session &s,
                    const std::vector<std::pair<std::string, std::string>> &cases) {
    for (const auto &[keys, answer] : cases) {
        ASSERT_TRUE(s.settle());
        s->type(keys);
        EXPECT_TRUE(s->wait_row(2, answer)) << testing::PrintToString(keys);
    }
}

TEST(E2ePrompt, StringsScrolledUpTo500CharactersNumbersOptionsAndYesNo) {
    screen_session s("text\n");
    s->type(F1 + "ab\x7f");
    ASSERT_TRUE(s.asks("string: a", 9)) << "the character stepped over is wiped";
    s->type(RIGHT);
    ASSERT_TRUE(s->wait_row(2, "string: ab")) << "Right takes it again";
    s->type("\r");
    ASSERT_TRUE(s->wait_row(2, "string 1 2 \"ab\""));
    EXPECT_EQ(s->cursor_row(), 4) << "the cursor is back in the text";
    EXPECT_EQ(s->cursor_col(), 0);
    // clang-format off
    expect_answers(s, {{F1 + "ab\b\r", "string 1 1 \"a\""}, {F1 + "abc" + LEFT + LEFT + "X\r", "string 1 2 \"aX\""},
                       {F1 + "a\x01" + UP + F2 + "b\r", "string 1 3 \"a?b\""},
                       {F1 + "a\tb\r", "string 1 3 \"a   b\""}, // a tab to its stop
                       {F1 + "abc\x1b", "string 0 0 \"\""}});
    // clang-format on
    // The line scrolls past the right margin, up to 500 characters.
    ASSERT_TRUE(s.settle());
    std::string text;
    for (int i = 0; i < 100; i++) text += static_cast<char>('a' + i % 26);
    s->type(F1 + text.substr(0, 71));
    ASSERT_TRUE(s.asks("string: " + text.substr(0, 71), 79));
    s->type(text.substr(71));
    ASSERT_TRUE(s.asks("string: " + text.substr(29, 71), 79));
    s->type("\r");
    EXPECT_TRUE(s->wait_row(2, ("string 1 100 \"" + text).substr(0, 79))) << "cut at x_size - 1";
    // clang-format off
    expect_answers(s, {{F1 + std::string(510, 'x') + "\r", "string 1 500 \"" + std::string(65, 'x')},
                       {F1 + std::string(500, 'y') + "\x7f\x7f" + RIGHT + RIGHT + RIGHT + "\r",
                        "string 1 500 \"" + std::string(65, 'y')}});
    // clang-format on
    ASSERT_TRUE(s.settle());
    s->type(F3);
    ASSERT_TRUE(s->wait_row(2, "when: never if_open always"));
    EXPECT_TRUE(s->at(2, 6).bg == 7 && s->at(2, 6).fg == 0) << "highlighted: black on white";
    EXPECT_EQ(s->at(2, 12).bg, 1) << "the others in the status colour";
    s->type("a");
    ASSERT_TRUE(s->wait_for([&] { return s->at(2, 20).bg == 7 && s->at(2, 6).bg == 1; },
                            "always highlighted"));
    s->type("a\r");
    ASSERT_TRUE(s->wait_row(2, "option 1 2")) << "a second a keeps it";
    // clang-format off
    expect_answers(s, {{F2 + "&1F\r", "number 1 31"}, {F3 + RIGHT + RIGHT + RIGHT + "\r", "option 1 2"},
                       {F3 + "\t" + LEFT + LEFT + "\r", "option 1 0"},
                       {F3 + "x\x1b[H\r", "option 1 0"}, // no such option, no such key
                       {F3 + "i\x1b", "option 0 -1"}, {F4 + "N\r", "yes/no 1 1"},
                       {F4 + DOWN + "\r", "yes/no 1 0"}, {F4 + "ny\r", "yes/no 1 1"}});
    // clang-format on
}

} // namespace
