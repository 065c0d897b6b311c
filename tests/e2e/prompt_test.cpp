// Questions on the prompt line answered at a real terminal: screen_demo asks
// one kind of question per function key and shows the answer.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "e2e/screen_session.h"

namespace {

using e2e::screen_session;
using std::string;

const string UP = "\x1b[A", DOWN = "\x1b[B", RIGHT = "\x1b[C", LEFT = "\x1b[D";
const string F1 = "\x1bOP", F2 = "\x1bOQ", F3 = "\x1bOR", F4 = "\x1b[[D";

// Each question key with the keys typed after it, and the answer shown.
void expect_answers(screen_session &s, const std::vector<std::pair<string, string>> &cases) {
    for (const auto &[keys, answer] : cases) {
        ASSERT_TRUE(s.settle());
        s->type(keys);
        EXPECT_TRUE(s->wait_row(2, answer)) << testing::PrintToString(keys);
    }
}

TEST(E2ePrompt, EditingAString) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    s->type(F1 + "ab\x7f");
    ASSERT_TRUE(s->wait_for([&] { return s->cursor_col() == 9; }, "one character back"));
    EXPECT_EQ(s->row(2), "string: a") << "the character stepped over is wiped";
    s->type(RIGHT);
    ASSERT_TRUE(s->wait_row(2, "string: ab")) << "Right takes it again";
    s->type("\r");
    ASSERT_TRUE(s->wait_row(2, "string 1 2 \"ab\""));
    EXPECT_EQ(s->cursor_row(), 4) << "the cursor is back in the text";
    EXPECT_EQ(s->cursor_col(), 0);
    expect_answers(s, {
                          {F1 + "ab\b\r", "string 1 1 \"a\""},
                          {F1 + "abc" + LEFT + LEFT + "X\r", "string 1 2 \"aX\""},
                          {F1 + RIGHT + "\r", "string 1 0 \"\""},
                          {F1 + "a\x01" + UP + F2 + "b\r", "string 1 3 \"a?b\""},
                          {F1 + "a\tb\r", "string 1 3 \"a   b\""}, // a tab to its stop
                          {F1 + "abc\x1b", "string 0 0 \"\""},
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
    EXPECT_TRUE(s->wait_row(2, ("string 1 92 \"" + text).substr(0, 79))) << "cut at x_size - 1";
    expect_answers(s, {
                          {F1 + string(510, 'x') + "\r", "string 1 500 \"" + string(65, 'x')},
                          {F1 + string(500, 'y') + "\x7f\x7f" + RIGHT + RIGHT + RIGHT + "\r",
                           "string 1 500 \"" + string(65, 'y')},
                      });
}

TEST(E2ePrompt, NumbersOptionsAndYesNo) {
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
    ASSERT_TRUE(s->wait_row(2, "option 1 2")) << "a second a keeps it";
    expect_answers(s, {
                          {F2 + "&1F\r", "number 1 31"},
                          {F2 + "&ff\r", "number 1 255"},
                          {F2 + "12x\r", "number 1 12"},
                          {F2 + "4096\r", "number 1 4096"},
                          {F3 + RIGHT + RIGHT + RIGHT + "\r", "option 1 2"},
                          {F3 + DOWN + LEFT + "\r", "option 1 1"},
                          {F3 + "\t" + LEFT + LEFT + "\r", "option 1 0"},
                          {F3 + "x\x1b[H\r", "option 1 0"}, // no such option, no such key
                          {F3 + "i\x1b", "option 0 -1"},
                          {F4 + "N\r", "yes/no 1 1"},
                          {F4 + DOWN + "\r", "yes/no 1 0"},
                          {F4 + "ny\r", "yes/no 1 1"},
                      });
}

} // namespace
