// ox in the terminals of today, through a real terminal with the bytes they
// send: the main loop's keys, prefix keys and menu, the terminal as ox sets it
// and gives it back, the window resized, the questions of the prompt line, a
// paste (its lines and their indents are tested by the commands' tests) and
// UTF-8 text. (Keys with modifiers are the
// key decoder's tests; the forms of bytes where the locale is not UTF-8 are
// the display forms' tests.)
#include <chrono>
#include <csignal>

#include "main/ox_session.h"

namespace {

using ox_e2e::exit_keys;
using ox_e2e::status_row;
using namespace ox_e2e::keys;

using Terminals = ox_e2e::OxTest;

const std::string PASTE = "\x1b[200~", PASTED = "\x1b[201~";

// "line 1" to "line n", a line each.
std::string numbered_lines(int n) {
    std::string text;
    for (int i = 1; i <= n; i++) text += "line " + std::to_string(i) + "\n";
    return text;
}

// Raw keys, Escape alone after a second, an interrupt that is never fatal,
// bracketed paste off while an outside command has the terminal, the window
// resized (too small for a while), and the modes ox found given back.
TEST_F(Terminals, TheTerminalAsOxSetsItResizesAndGivesItBack) {
    write("k.txt", numbered_lines(30));
    e2e::pty_terminal &t =
        start_with(exit_keys + "key_bind \"Down\" \"line_down\"\n"
                               "key_bind \"^A\" \"line_insert ?\"\n"
                               "key_bind \"^B\" \"other_shell \\\"echo outside\\\"\"\n",
                   {"k.txt"});
    // Suspend, quit, interrupt and flow control bytes are keys.
    for (std::string name : {"^Z", "^\\", "^C", "^S", "^Q"})
        ASSERT_TRUE(play({{std::string(1, name[1] - 64), 2, name + " is not bound"}}));
    auto typed = std::chrono::steady_clock::now();
    t.type("\x1b");
    ASSERT_TRUE(t.wait_for([&] { return t.row(2).starts_with("menu: "); }, "the menu"));
    EXPECT_GE(std::chrono::steady_clock::now() - typed, std::chrono::seconds(1));
    t.signal(SIGINT);
    ASSERT_TRUE(play({{"\x1b", 2, "aborted"}, {"x", 4, "xline 1"}}));

    // Drawn whole at each size: the status row and the last text row.
    auto resized = [&](int rows, int cols, const std::string &last) {
        t.resize(rows, cols);
        return t.wait_for(
            [&] {
                return t.row(0) == status_row("k.txt", 1, 2, "top", cols) &&
                       t.row(rows - 1) == last;
            },
            "the screen at " + std::to_string(cols) + " columns");
    };
    ASSERT_TRUE(resized(10, 40, "line 6"));
    ASSERT_TRUE(resized(30, 120, "line 26"));
    for (int i = 0; i < 12; i++) t.type(down);
    ASSERT_TRUE(t.wait_for([&] { return t.cursor_row() == 16; }, "the cursor on row 16"));
    t.resize(12, 80);
    ASSERT_TRUE(t.wait_for([&] { return t.cursor_row() == 10 && t.row(10) == "line 13"; },
                           "the current line on row 10"));
    // Too small: a notice; a key typed meanwhile is not lost.
    t.resize(8, 30);
    ASSERT_TRUE(t.wait_screen({"ox: window too small (40x10)"}));
    t.type(down);
    t.resize(24, 80);
    // A question is asked on at the new size, with what was typed.
    ASSERT_TRUE(
        play({{"", 0, status_row("k.txt", 14, 2)}, {"\x01", 2, "line:"}, {"abc", 2, "line: abc"}}));
    t.resize(20, 50);
    ASSERT_TRUE(t.wait_for([&] { return t.row(2) == "line: abc" && t.cursor_col() == 9; },
                           "the question again"));
    t.type("d\r");
    ASSERT_TRUE(t.wait_for([&] { return t.row(t.cursor_row()) == "abcd"; }, "the answer"));
    t.resize(24, 80);
    t.type("\x02");
    ASSERT_TRUE(t.wait_for([&] { return t.output().find("outside") != std::string::npos; },
                           "the command's output"));
    const std::string &out = t.output();
    auto paste_on = [&](size_t at) { // by the last switch written before at
        size_t on = out.rfind("\x1b[?2004h", at), off = out.rfind("\x1b[?2004l", at);
        return on != std::string::npos && (off == std::string::npos || on > off);
    };
    EXPECT_FALSE(paste_on(out.find("outside")));
    t.type("\r");
    ASSERT_TRUE(t.wait_row(0, status_row("k.txt", 14, 5)));
    EXPECT_TRUE(paste_on(std::string::npos)) << "again after it";
    ASSERT_TRUE(leave({"k.txt"}));
    EXPECT_FALSE(paste_on(std::string::npos)) << "at the end";
    termios cooked = t.modes();
    EXPECT_TRUE((cooked.c_lflag & (ICANON | ECHO | ISIG)) == (ICANON | ECHO | ISIG) &&
                (cooked.c_iflag & ICRNL) && (cooked.c_oflag & ONLCR));
}

// Whether the choice at that column is the highlighted one: black on white.
bool highlighted(e2e::pty_terminal &t, int column) {
    return t.at(2, column).fg == 0 && t.at(2, column).bg == 7;
}

// Each question, answered or left by the keys typed after it: a string (the
// line it inserts), a line number, when to enter folds, yes or no.
TEST_F(Terminals, QuestionsOnThePromptLine) {
    write("q.txt", numbered_lines(40));
    e2e::pty_terminal &t =
        start_with(exit_keys + "key_bind \"^A\" \"line_insert ?\"\n"
                               "key_bind \"^B\" \"line_goto ?\"\n"
                               "key_bind \"^D\" \"search_for \\\"x\\\" no no ? never yes 1 no\"\n"
                               "key_bind \"^E\" \"other_abort ?\"\n",
                   {"q.txt"});
    // A string: Del wipes the character stepped over and Right takes it
    // again; a control character goes in, other keys do not.
    const std::string line = "\x01", left = "\x1b[D";
    ASSERT_TRUE(play({{line + "ab\x7f", 2, "line: a"},
                      {right, 2, "line: ab"},
                      {"\r", 4, "ab"},
                      {line + "ab\b\r", 4, "a"},
                      {line + "abc" + left + left + "X\r", 4, "aX"},
                      {line + "a\x01" + up + f2 + "b\r", 4, "a?b"},
                      {line + "abc\x1b", 2, "aborted"}}));
    EXPECT_EQ(t.row(4), "a?b");
    // Scrolled sideways past the right margin, up to 500 characters.
    std::string text;
    for (int i = 0; i < 100; i++) text += static_cast<char>('a' + i % 26);
    auto asks = [&](const std::string &shown) {
        return t.wait_for([&] { return t.row(2) == "line: " + shown && t.cursor_col() == 79; },
                          "the question and " + shown);
    };
    t.type(line + text.substr(0, 73));
    ASSERT_TRUE(asks(text.substr(0, 73)));
    t.type(text.substr(73));
    ASSERT_TRUE(asks(text.substr(27)));
    ASSERT_TRUE(play({{"\r", 0, status_row("q.txt", 1, 101)},
                      {line + std::string(510, 'x') + "\r", 0, status_row("q.txt", 1, 501)},
                      {line + std::string(500, 'y') + "\x7f\x7f" + right + right + right + "\r", 4,
                       std::string(60, 'y')}, // the view scrolled to the cursor
                      {"", 0, status_row("q.txt", 1, 501)},
                      {"\x02&1F\r", 0, status_row("q.txt", 31, 1)},
                      {"\x02\x1b", 2, "aborted"}}));
    // A letter no choice begins with, or a key that moves nowhere, keeps it.
    const int never = 21, if_open = 27, always = 35;
    const struct {
        std::string keys;
        int chosen;
    } choices[] = {{"a", always},
                   {"aa", always},
                   {right + right + right, always},
                   {"\t" + left + left, never},
                   {"i", if_open},
                   {"x\x1b[H", never}};
    for (const auto &c : choices) {
        t.type("\x04");
        ASSERT_TRUE(t.wait_row(2, "when to enter folds: never if_open always"));
        t.type(c.keys);
        EXPECT_TRUE(t.wait_for([&] { return highlighted(t, c.chosen); }, "the choice"))
            << testing::PrintToString(c.keys);
        EXPECT_EQ(t.at(2, c.chosen == never ? always : never).bg, 1)
            << "the others: the status colour";
        ASSERT_TRUE(play({{"\x1b", 2, "aborted"}}));
    }
    // Yes or no: a letter no choice begins with chooses nothing.
    const int yes = 6, no = 10;
    t.type("\x05N");
    ASSERT_TRUE(t.wait_row(2, "sure: yes no"));
    EXPECT_TRUE(highlighted(t, yes));
    t.type(down);
    ASSERT_TRUE(t.wait_for([&] { return highlighted(t, no); }, "no"));
    ASSERT_TRUE(play({{"\r", 2, ""}, {"z", 22, "zline 24"}}));
    t.type("\x05ny\r");
    EXPECT_TRUE(t.wait_exit(1));
}

TEST_F(Terminals, APasteIntoTheCommandPromptIsTypedUpToItsFirstLineEnd) {
    write("c.txt", "text\n");
    e2e::pty_terminal &t = start_with(exit_keys, {"c.txt"});
    t.type("\x1b");
    ASSERT_TRUE(t.wait_for([&] { return t.row(2).starts_with("menu: "); }, "the menu"));
    ASSERT_TRUE(play({{"C\r", 2, "command:"},
                      {PASTE + "string_insert \"pasted \"\nline_delete" + PASTED, 2,
                       "command: string_insert \"pasted \""},
                      {"\r", 4, "pasted text"}}));
    EXPECT_TRUE(leave({"c.txt"}));
}

// é, 中 (two cells), e and a combining acute, an invalid byte.
const std::string utf8_line = "caf\xc3\xa9 \xe4\xb8\xad e\xcc\x81 \xc8!";

// (Moving over characters and deleting them: the editing commands' tests.)
TEST_F(Terminals, Utf8TextShownTypedAndSavedAsItWas) {
    write("u.txt", utf8_line + "\n");
    e2e::options opts;
    opts.locale = "C.UTF-8";
    e2e::pty_terminal &t = start_with(exit_keys, {"u.txt"}, opts);
    EXPECT_EQ(t.text(4), "caf\xc3\xa9 \xe4\xb8\xad e\xcc\x81 ?!");
    // ü and ж typed as UTF-8 go in whole.
    t.type("\xc3\xbc\xd0\xb6");
    ASSERT_TRUE(t.wait_text(4, "\xc3\xbc\xd0\xb6" + utf8_line.substr(0, 14) + "?!"));
    EXPECT_EQ(t.cursor_col(), 2);
    EXPECT_TRUE(leave({"u.txt"}));
    EXPECT_EQ(read("u.txt"), "\xc3\xbc\xd0\xb6" + utf8_line + "\n");
    EXPECT_EQ(read("u.bak"), utf8_line + "\n");
}

// ---- The main loop: keys and prefix keys, their bindings and messages, an
// error in a bound text, and the menu.
using ox_e2e::insert_mode;
using ox_e2e::overtype_mode;
using MainLoop = ox_e2e::OxTest;

// The menu's row of groups fits on a screen this wide, so that the last shows.
constexpr int menu_width = 160;
const std::string five_status = "five.c" + std::string(menu_width - 27, ' ') + "top            ";

TEST_F(MainLoop, KeysPrefixKeysAndTheirMessages) {
    e2e::pty_terminal &t =
        start_with(exit_keys + "key_bind \"^K ^A\" \"setup_insert\"\n"
                               "key_bind \"^F\" \"setup_insert line_goto 12x setup_insert\"\n");
    // After a prefix key (^K, "\v") a letter in either case is its control
    // key; a message stays until the next key; an error abandons the rest of
    // a bound text, and what ran before stays done.
    // clang-format off
    ASSERT_TRUE(play({{"\v", 2, "^K ..."}, {"a", 1, overtype_mode}, {"\vA", 1, insert_mode},
                      {"\v\x01", 1, overtype_mode}, {"\v1", 2, "keycode 49 is not recognised"},
                      {"\vb", 2, "^K ^B is not bound"}, {"\v\x1b[A", 2, "^K Up is not bound"},
                      {"\v\x1b", 2, "aborted"}, {"\x02", 2, "^B is not bound"},
                      {"\x1b[5~", 2, "PgUp is not bound"},
                      {"\xa0", 2, "keycode 0 is not recognised"}, {"x", 2, ""},
                      {"\x06", 2, "command not found"}, {"", 1, insert_mode}}));
    // clang-format on
    EXPECT_EQ(t.row(4), "x");
    t.type("\x0b\x11");
    EXPECT_TRUE(t.wait_exit(1));
}

// Waits for a question of choices on the prompt line, drawn up to its last.
testing::AssertionResult choices_shown(e2e::pty_terminal &t, const std::string &first,
                                       const std::string &last) {
    return t.wait_for([&] { return t.row(2).starts_with(first) && t.row(2).ends_with(" " + last); },
                      "the prompt line to read \"" + first + " ... " + last + "\"");
}

TEST_F(MainLoop, TheMenuAsksForACommandsArgumentsAndRemembersTheChoice) {
    write("five.c", "one\ntwo\nthree\nfour\nfive\n");
    e2e::pty_terminal &t = start_with(exit_keys, {"five.c"}, {24, menu_width, "xterm", {}});
    t.type("\x1b");
    ASSERT_TRUE(choices_shown(t, "menu: character string word line page", "COMMAND"));
    EXPECT_TRUE(highlighted(t, 6)) << "the first group to begin with";
    t.type("l\r");
    ASSERT_TRUE(choices_shown(t, "line: insert insert... insert::: delete", "exec"));
    ASSERT_TRUE(play({{"g\r", 2, "line number:"}, {"4\r", 0, five_status + "4 1"}}));
    t.type("\x1b");
    ASSERT_TRUE(choices_shown(t, "menu: ", "COMMAND"));
    EXPECT_TRUE(highlighted(t, 29) && !highlighted(t, 6)) << "the group chosen last comes first";
    t.type("\r");
    ASSERT_TRUE(choices_shown(t, "line: ", "exec"));
    EXPECT_TRUE(highlighted(t, static_cast<int>(t.row(2).find(" goto ")) + 1))
        << "and within it the command chosen last";
    ASSERT_TRUE(play({{"\x1b", 2, "aborted"}}));
    t.type("\x1b");
    ASSERT_TRUE(choices_shown(t, "menu: ", "COMMAND"));
    ASSERT_TRUE(play({{"C\r", 2, "command:"},
                      {"setup_insert string_insert \"ox\"\r", 7, "oxfour"},
                      {"", 1, std::string(menu_width - 22, ' ') + "autoindent overtype ^I"}}));
    t.type("\v\x11");
    EXPECT_TRUE(t.wait_exit(1));
}

} // namespace
