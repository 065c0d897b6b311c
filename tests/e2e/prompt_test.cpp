// Questions on the prompt line, answered at a real terminal: screen_demo asks
// one kind of question per function key and shows the answer.
#include <gtest/gtest.h>

#include <string>

#include "e2e/pty_terminal.h"
#include "e2e/screen_session.h"

namespace {

using e2e::screen_session;

const char *const UP = "\x1b[A";
const char *const DOWN = "\x1b[B";
const char *const RIGHT = "\x1b[C";
const char *const LEFT = "\x1b[D";
const char *const F1 = "\x1bOP";
const char *const F2 = "\x1bOQ";
const char *const F3 = "\x1bOR";
const char *const F4 = "\x1bOS";
const char *const F5 = "\x1b[15~";
const char *const F6 = "\x1b[17~";
const char *const F7 = "\x1b[18~";
const char *const F8 = "\x1b[19~";

// The answer to a string question typed as these keys.
testing::AssertionResult answers(screen_session &s, const char *question_key,
                                 const std::string &keys, const std::string &answer) {
    if (testing::AssertionResult settled = s.settle(); !settled) return settled;
    s->type(question_key);
    s->type(keys);
    return s->wait_row(2, answer);
}

TEST(E2ePrompt, EditingTakesTheCharactersBeforeTheCursor) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    s->type(F1);
    ASSERT_TRUE(s->wait_row(2, "string:"));
    EXPECT_EQ(s->cursor_col(), 8);
    s->type("ab\x7f");
    ASSERT_TRUE(s->wait_for([&] { return s->cursor_col() == 9; }, "one character back"));
    EXPECT_EQ(s->row(2), "string: a") << "the character stepped over is wiped";
    s->type(RIGHT);
    ASSERT_TRUE(s->wait_row(2, "string: ab")) << "Right takes it again";
    s->type("\r");
    ASSERT_TRUE(s->wait_row(2, "string 1 length 2 \"ab\""));
    EXPECT_EQ(s->cursor_row(), 4) << "the cursor is back in the text";
    EXPECT_EQ(s->cursor_col(), 0);
    EXPECT_TRUE(answers(s, F1, "ab\x08\r", "string 1 length 1 \"a\""));
    EXPECT_TRUE(
        answers(s, F1, std::string("abc") + LEFT + LEFT + "X\r", "string 1 length 2 \"aX\""))
        << "a character typed overwrites; the rest is dropped";
    EXPECT_TRUE(answers(s, F1, std::string(RIGHT) + "\r", "string 1 length 0 \"\""))
        << "Right with nothing typed does nothing";
    EXPECT_TRUE(answers(s, F1, std::string("a\x01\x1b[H\x1bOPb\r"), "string 1 length 3 \"a?b\""))
        << "control characters are stored, function keys ignored";
}

TEST(E2ePrompt, EscapeAbandonsTheText) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    s->type(F1);
    s->type("abc");
    ASSERT_TRUE(s->wait_row(2, "string: abc"));
    s->type("\x1b");
    EXPECT_TRUE(s->wait_row(2, "string 0 length 0 \"\""));
}

TEST(E2ePrompt, TheLineScrollsPastTheRightMargin) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    std::string text;
    for (int i = 0; i < 100; i++) text += static_cast<char>('a' + i % 26);
    s->type(F1);
    s->type(text.substr(0, 71));
    ASSERT_TRUE(s->wait_row(2, "string: " + text.substr(0, 71)));
    EXPECT_EQ(s->cursor_col(), 79);
    s->type(text.substr(71, 1));
    ASSERT_TRUE(s->wait_row(2, "string: " + text.substr(1, 71)));
    EXPECT_EQ(s->cursor_col(), 79);
    s->type(text.substr(72));
    ASSERT_TRUE(s->wait_row(2, "string: " + text.substr(29, 71)));
    EXPECT_EQ(s->cursor_col(), 79);
    // Stepping back wipes characters until fewer than x_size - 8 columns
    // would be left, then the view scrolls back.
    s->type("\x7f\x7f\x7f\x7f\x7f\x7f\x7f");
    ASSERT_TRUE(s->wait_for([&] { return s->cursor_col() == 72; }, "cursor at 72"));
    EXPECT_EQ(s->row(2), "string: " + text.substr(29, 64));
    s->type("\x7f");
    ASSERT_TRUE(s->wait_row(2, "string: " + text.substr(28, 64)));
    EXPECT_EQ(s->cursor_col(), 72);
    s->type("\r");
    EXPECT_TRUE(s->wait_row(2, ("string 1 length 92 \"" + text).substr(0, 79)))
        << "a message is cut at x_size - 1 cells";
}

TEST(E2ePrompt, AtMost500CharactersAndTabsToTheirStops) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    std::string answer = "string 1 length 500 \"" + std::string(500, 'x');
    EXPECT_TRUE(answers(s, F1, std::string(510, 'x') + "\r", answer.substr(0, 79)));
    // Right does not go past what was typed.
    EXPECT_TRUE(answers(s, F1, std::string(500, 'y') + "\x7f\x7f" + RIGHT + RIGHT + RIGHT + "\r",
                        ("string 1 length 500 \"" + std::string(500, 'y')).substr(0, 79)));
    s->type(F1);
    s->type("a\tb");
    ASSERT_TRUE(s->wait_row(2, "string: a       b"));
    s->type("\r");
    EXPECT_TRUE(s->wait_row(2, "string 1 length 3 \"a    b\""));
}

TEST(E2ePrompt, NumbersInDecimalAndHex) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    EXPECT_TRUE(answers(s, F2, "&1F\r", "number 1 31"));
    EXPECT_TRUE(answers(s, F2, "&ff\r", "number 1 255"));
    EXPECT_TRUE(answers(s, F2, "12x\r", "number 1 12"));
    EXPECT_TRUE(answers(s, F2, "x\r", "number 1 0"));
    EXPECT_TRUE(answers(s, F2, "4096\r", "number 1 4096"));
}

TEST(E2ePrompt, OptionsByLetterAndArrows) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    s->type(F3);
    ASSERT_TRUE(s->wait_row(2, "when: never if_open always"));
    // The highlighted option in the marked status colour, black on white.
    EXPECT_EQ(s->at(2, 6).bg, 7);
    EXPECT_EQ(s->at(2, 6).fg, 0);
    EXPECT_EQ(s->at(2, 12).bg, 1) << "the others in the status colour";
    s->type("a");
    ASSERT_TRUE(s->wait_for([&] { return s->at(2, 20).bg == 7 && s->at(2, 6).bg == 1; },
                            "always highlighted"));
    s->type("a");
    s->type("\r");
    ASSERT_TRUE(s->wait_row(2, "option 1 always")) << "a second a keeps it";
    EXPECT_TRUE(answers(s, F3, std::string(RIGHT) + RIGHT + RIGHT + "\r", "option 1 always"));
    EXPECT_TRUE(answers(s, F3, std::string(DOWN) + LEFT + "\r", "option 1 if_open"));
    EXPECT_TRUE(answers(s, F3, std::string(DOWN) + UP + "\r", "option 1 never"));
    EXPECT_TRUE(answers(s, F3, std::string("\t") + LEFT + LEFT + "\r", "option 1 never"));
    EXPECT_TRUE(answers(s, F3, "x\x1b[H\r", "option 1 never")) << "no such option";
    EXPECT_TRUE(answers(s, F3, "i\x1b", "option 0 none"));
}

TEST(E2ePrompt, TheRowOfOptionsScrolls) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    s->type(F4);
    ASSERT_TRUE(s->wait_row(2, "pick one of many: a_option_number_0 b_option_number_1 "
                               "c_option_number_2 d_option"));
    s->type(DOWN);
    ASSERT_TRUE(s->wait_row(2, "pick one of many: mber_8 j_option_number_9 k_option_number_10 "
                               "l_option_number_11"));
    EXPECT_EQ(s->at(2, 62).bg, 7);
    s->type("e");
    ASSERT_TRUE(s->wait_row(2, "pick one of many: e_option_number_4 f_option_number_5 "
                               "g_option_number_6 h_option"));
    s->type(UP);
    ASSERT_TRUE(s->wait_row(2, "pick one of many: a_option_number_0 b_option_number_1 "
                               "c_option_number_2 d_option"));
    s->type(std::string(RIGHT) + RIGHT + RIGHT + RIGHT + "\r");
    EXPECT_TRUE(s->wait_row(2, "option 1 e_option_number_4"));
}

TEST(E2ePrompt, YesOrNo) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    s->type(F5);
    ASSERT_TRUE(s->wait_row(2, "sure? yes no"));
    EXPECT_EQ(s->at(2, 6).bg, 7) << "yes first";
    s->type("n\r");
    EXPECT_TRUE(s->wait_row(2, "yes/no 1 0"));
    EXPECT_TRUE(answers(s, F5, "N\r", "yes/no 1 1"));
    EXPECT_TRUE(answers(s, F5, std::string(DOWN) + "\r", "yes/no 1 0"));
    EXPECT_TRUE(answers(s, F5, "ny\r", "yes/no 1 1"));
}

TEST(E2ePrompt, SingleKeys) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    s->type(F6);
    ASSERT_TRUE(s->wait_row(2, "char:"));
    s->type(std::string(UP) + F1 + "x");
    EXPECT_TRUE(s->wait_row(2, "char 1 120")) << "keys from 256 up are passed over";
    EXPECT_TRUE(answers(s, F6, "\r", "char 1 13"));
    EXPECT_TRUE(answers(s, F6, "\x01", "char 1 1"));
    EXPECT_TRUE(answers(s, F7, UP, "key 1 key 258 0x102 Up"));
    EXPECT_TRUE(answers(s, F7, F1, "key 1 key 513 0x201 F1"));
    EXPECT_TRUE(answers(s, F7, "\x1b", "key 0 key 27 0x1b no name"));
}

TEST(E2ePrompt, FileMessagesAreCutAtTheMargin) {
    e2e::options narrow;
    narrow.cols = 40;
    narrow.rows = 10;
    std::string name = "a_rather_long_file_name_for_a_narrow_screen.top";
    screen_session s("text\n", narrow, {}, name);
    ASSERT_TRUE(s.started());
    s->type(F8);
    EXPECT_TRUE(s->wait_row(2, "reading " + name.substr(0, 31)));
    EXPECT_EQ(s->row(0).substr(0, 19), name.substr(0, 18) + " ") << "the buffer's name is cut";
}

TEST(E2ePrompt, ColourMode2StandsOutButNotTheHighlightedOption) {
    screen_session s("text\n", {}, {"-c", "2"});
    ASSERT_TRUE(s.started());
    s->type(F3);
    ASSERT_TRUE(s->wait_row(2, "when: never if_open always"));
    EXPECT_TRUE(s->at(2, 0).reverse);
    EXPECT_FALSE(s->at(2, 6).reverse) << "marked status is plain";
    EXPECT_TRUE(s->at(2, 12).reverse);
    s->type("\r");
    EXPECT_TRUE(s->wait_row(2, "option 1 never"));
    EXPECT_TRUE(s->at(2, 0).reverse);
}

} // namespace
