// The main loop through a terminal: keys and prefix keys, their bindings and
// messages, an error in a bound text, and the menu.
#include "main/ox_session.h"

namespace {

using ox_e2e::exit_keys;
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

// Whether the choice on the prompt line at that column is the highlighted one.
bool highlighted(e2e::pty_terminal &t, int column) {
    return t.at(2, column).bg != t.at(2, 0).bg;
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
