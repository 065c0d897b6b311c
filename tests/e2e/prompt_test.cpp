// Questions on the prompt line answered at a real terminal: screen_demo asks
// one kind of question per function key and shows the answer.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "e2e/pty_terminal.h"
#include "e2e/screen_session.h"

namespace {

using e2e::screen_session;
using std::string;

const string UP = "\x1b[A", DOWN = "\x1b[B", RIGHT = "\x1b[C", LEFT = "\x1b[D";
const string F1 = "\x1bOP", F2 = "\x1bOQ", F3 = "\x1bOR", F4 = "\x1bOS", F5 = "\x1b[15~";
const string F6 = "\x1b[17~", F7 = "\x1b[18~", F8 = "\x1b[19~";

// Each question key with the keys typed after it and the answer shown.
void expect_answers(screen_session &s, const std::vector<std::pair<string, string>> &cases) {
    for (const auto &[keys, answer] : cases) {
        ASSERT_TRUE(s.settle());
        s->type(keys);
        EXPECT_TRUE(s->wait_row(2, answer)) << keys;
    }
}

TEST(E2ePrompt, EditingAStringAndAbandoningIt) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    s->type(F1 + "ab\x7f");
    ASSERT_TRUE(s->wait_for([&] { return s->cursor_col() == 9; }, "one character back"));
    EXPECT_EQ(s->row(2), "string: a") << "the character stepped over is wiped";
    s->type(RIGHT);
    ASSERT_TRUE(s->wait_row(2, "string: ab")) << "Right takes it again";
    s->type("\r");
    ASSERT_TRUE(s->wait_row(2, "string 1 length 2 \"ab\""));
    EXPECT_EQ(s->cursor_row(), 4) << "the cursor is back in the text";
    EXPECT_EQ(s->cursor_col(), 0);
    expect_answers(
        s, {
               {F1 + "ab\b\r", "string 1 length 1 \"a\""},
               {F1 + "abc" + LEFT + LEFT + "X\r", "string 1 length 2 \"aX\""}, // the rest dropped
               {F1 + RIGHT + "\r", "string 1 length 0 \"\""},
               {F1 + "a\x01" + UP + F2 + "b\r", "string 1 length 3 \"a?b\""}, // control kept
               {F1 + "a\tb\r", "string 1 length 3 \"a    b\""}, // a tab to its stop on the line
               {F1 + "abc\x1b", "string 0 length 0 \"\""},
           });
}

TEST(E2ePrompt, TheLineScrollsPastTheRightMarginUpTo500Characters) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    string text;
    for (int i = 0; i < 100; i++) text += static_cast<char>('a' + i % 26);
    s->type(F1 + text.substr(0, 71));
    ASSERT_TRUE(s->wait_row(2, "string: " + text.substr(0, 71)));
    EXPECT_EQ(s->cursor_col(), 79);
    s->type(text.substr(71));
    ASSERT_TRUE(s->wait_row(2, "string: " + text.substr(29, 71)));
    EXPECT_EQ(s->cursor_col(), 79);
    // Back over characters: wiped until fewer than x_size - 8 columns would
    // be left, then the view scrolls back.
    s->type(string(7, '\x7f'));
    ASSERT_TRUE(s->wait_for([&] { return s->cursor_col() == 72; }, "cursor at 72"));
    EXPECT_EQ(s->row(2), "string: " + text.substr(29, 64));
    s->type("\x7f");
    ASSERT_TRUE(s->wait_row(2, "string: " + text.substr(28, 64)));
    s->type("\r");
    EXPECT_TRUE(s->wait_row(2, ("string 1 length 92 \"" + text).substr(0, 79)))
        << "a message is cut at x_size - 1 cells";
    expect_answers(s, {
                          {F1 + string(510, 'x') + "\r",
                           ("string 1 length 500 \"" + string(500, 'x')).substr(0, 79)},
                          {F1 + string(500, 'y') + "\x7f\x7f" + RIGHT + RIGHT + RIGHT + "\r",
                           ("string 1 length 500 \"" + string(500, 'y')).substr(0, 79)},
                      });
}

TEST(E2ePrompt, NumbersAndSingleKeys) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    expect_answers(s, {
                          {F2 + "&1F\r", "number 1 31"},
                          {F2 + "&ff\r", "number 1 255"},
                          {F2 + "12x\r", "number 1 12"},
                          {F2 + "x\r", "number 1 0"},
                          {F2 + "4096\r", "number 1 4096"},
                          {F6 + UP + F1 + "x", "char 1 120"}, // keys from 256 up are passed over
                          {F6 + "\r", "char 1 13"},
                          {F7 + UP, "key 1 key 258 0x102 Up"},
                          {F7 + "\x1b", "key 0 key 27 0x1b no name"},
                      });
}

TEST(E2ePrompt, OptionsByLetterAndArrows) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    s->type(F3);
    ASSERT_TRUE(s->wait_row(2, "when: never if_open always"));
    EXPECT_TRUE(s->at(2, 6).bg == 7 && s->at(2, 6).fg == 0) << "highlighted: black on white";
    EXPECT_EQ(s->at(2, 12).bg, 1) << "the others in the status colour";
    s->type("a");
    ASSERT_TRUE(s->wait_for([&] { return s->at(2, 20).bg == 7 && s->at(2, 6).bg == 1; },
                            "always highlighted"));
    s->type("a\r");
    ASSERT_TRUE(s->wait_row(2, "option 1 always")) << "a second a keeps it";
    expect_answers(s, {
                          {F3 + RIGHT + RIGHT + RIGHT + "\r", "option 1 always"},
                          {F3 + DOWN + LEFT + "\r", "option 1 if_open"},
                          {F3 + DOWN + UP + "\r", "option 1 never"},
                          {F3 + "\t" + LEFT + LEFT + "\r", "option 1 never"},
                          {F3 + "x\x1b[H\r", "option 1 never"}, // no such option, no such key
                          {F3 + "i\x1b", "option 0 none"},
                          {F5 + "n\r", "yes/no 1 0"},
                          {F5 + "N\r", "yes/no 1 1"},
                          {F5 + DOWN + "\r", "yes/no 1 0"},
                          {F5 + "ny\r", "yes/no 1 1"},
                      });
}

TEST(E2ePrompt, TheRowOfOptionsScrolls) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    const string first = "pick one of many: a_option_number_0 b_option_number_1 "
                         "c_option_number_2 d_option";
    s->type(F4);
    ASSERT_TRUE(s->wait_row(2, first));
    s->type(DOWN);
    ASSERT_TRUE(s->wait_row(2, "pick one of many: mber_8 j_option_number_9 k_option_number_10 "
                               "l_option_number_11"));
    EXPECT_EQ(s->at(2, 62).bg, 7);
    s->type("e");
    ASSERT_TRUE(s->wait_row(2, "pick one of many: e_option_number_4 f_option_number_5 "
                               "g_option_number_6 h_option"));
    s->type(UP);
    ASSERT_TRUE(s->wait_row(2, first));
    s->type(RIGHT + RIGHT + RIGHT + RIGHT + "\r");
    EXPECT_TRUE(s->wait_row(2, "option 1 e_option_number_4"));
}

TEST(E2ePrompt, FileMessagesAndColourMode2) {
    e2e::options narrow;
    narrow.cols = 40;
    narrow.rows = 10;
    narrow.term = "xterm-xfree86"; // no repeat sequence: see the screen tests
    string name = "a_rather_long_file_name_for_a_narrow_screen.top";
    screen_session s("text\n", narrow, {"-c", "2"}, name);
    ASSERT_TRUE(s.started());
    s->type(F8);
    ASSERT_TRUE(s->wait_row(2, "reading " + name.substr(0, 31)));
    EXPECT_EQ(s->row(0).substr(0, 19), name.substr(0, 18) + " ") << "the buffer's name is cut";
    s->type(F5);
    ASSERT_TRUE(s->wait_row(2, "sure? yes no"));
    EXPECT_TRUE(s->at(2, 0).reverse) << "the question stands out";
    EXPECT_FALSE(s->at(2, 6).reverse) << "the highlighted option is plain";
    EXPECT_TRUE(s->at(2, 10).reverse);
    s->type("\r");
    EXPECT_TRUE(s->wait_row(2, "yes/no 1 1"));
}

} // namespace
