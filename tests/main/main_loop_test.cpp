// The main loop through a terminal: keys and prefix keys, their bindings and
// messages, command texts with their arguments written and asked for, and the
// menu.
#include "main/ox_session.h"

namespace {

using ox_e2e::at_position;
using ox_e2e::exit_keys;
using ox_e2e::OxTest;

using MainLoop = OxTest;
using Arguments = OxTest;
using Menu = OxTest;

const std::string five_lines = "one\ntwo\nthree\nfour\nfive\n";

// Function keys as xterm sends them.
const char *const F[5] = {"", "\x1bOP", "\x1bOQ", "\x1bOR", "\x1bOS"};

const std::string insert_mode = std::string(58, ' ') + "autoindent  insert  ^I";
const std::string overtype_mode = std::string(58, ' ') + "autoindent overtype ^I";

TEST_F(MainLoop, APrefixKeyTakesASecondKeyWithLettersFolded) {
    e2e::pty_terminal &t = start_with(exit_keys + "key_bind \"^K ^A\" \"setup_insert\"\n");
    t.type("\x0b");
    ASSERT_TRUE(t.wait_row(2, "^K ..."));
    t.type("a");
    ASSERT_TRUE(t.wait_row(1, overtype_mode));
    EXPECT_TRUE(t.wait_row(2, "")) << "the prompt line is blanked before the command runs";
    t.type("\x0b"
           "A");
    ASSERT_TRUE(t.wait_row(1, insert_mode));
    t.type("\x0b\x01");
    ASSERT_TRUE(t.wait_row(1, overtype_mode));
    t.type("\x0b"
           "1");
    EXPECT_TRUE(t.wait_row(2, "keycode 49 is not recognised"));
    t.type("\x0b\x02");
    EXPECT_TRUE(t.wait_row(2, "^K ^B is not bound"));
    t.type("\x0b"
           "b");
    EXPECT_TRUE(t.wait_row(2, "^K ^B is not bound"));
    t.type("\x0b\x1b[A");
    EXPECT_TRUE(t.wait_row(2, "^K Up is not bound"));
    t.type("\x0b\x1b");
    EXPECT_TRUE(t.wait_row(2, "aborted"));
    EXPECT_TRUE(leave());
}

TEST_F(MainLoop, KeysWithoutANameOrABindingAreReported) {
    e2e::pty_terminal &t = start_with(exit_keys);
    t.type("\x02");
    ASSERT_TRUE(t.wait_row(2, "^B is not bound"));
    t.type("\x1b[5~");
    ASSERT_TRUE(t.wait_row(2, "PgUp is not bound"));
    t.type("\xa0");
    ASSERT_TRUE(t.wait_row(2, "keycode 0 is not recognised"));
    t.type("x");
    ASSERT_TRUE(t.wait_row(4, "x"));
    EXPECT_TRUE(t.wait_row(2, "")) << "a message stays until the next key";
    t.type("\x0b\x11");
    EXPECT_TRUE(t.wait_exit(1));
}

TEST_F(MainLoop, AnErrorAbandonsTheRestOfTheText) {
    e2e::pty_terminal &t = start_with(
        exit_keys + "key_bind \"^F\" \"setup_insert nonsense setup_insert\"\n"
                    "key_bind \"^G\" \"setup_insert setup_insert line_goto 12x setup_insert\"\n");
    t.type("\x06");
    ASSERT_TRUE(t.wait_row(2, "command not found"));
    EXPECT_TRUE(t.wait_row(1, overtype_mode)) << "what ran before the error stays done";
    t.type("\x07");
    ASSERT_TRUE(t.wait_row(2, "command not found")) << "line_goto 12 then the command x";
    EXPECT_TRUE(t.wait_row(1, overtype_mode));
    EXPECT_TRUE(leave());
}

TEST_F(MainLoop, ALineRunAsCommandsEndsAloneOnAnError) {
    write("run.c", "key_bind \"^B\" \"setup_insert\" nonsense key_bind \"^C\" \"x\"\n");
    e2e::pty_terminal &t =
        start_with(exit_keys + "key_bind \"^E\" \"line_exec setup_visible\"\n", {"run.c"});
    t.type("\x05");
    ASSERT_TRUE(t.wait_row(2, "command not found"));
    EXPECT_TRUE(t.wait_row(4, "key_bind.\"^B\".\"setup_insert\".nonsense.key_bind.\"^C\".\"x\""))
        << "the text around line_exec went on after the line's error";
    t.type("\x02");
    EXPECT_TRUE(t.wait_row(1, std::string(58, ' ') + "autoindent overtype ^I"))
        << "the line's first command ran";
    t.type("\x03");
    EXPECT_TRUE(t.wait_row(2, "^C is not bound")) << "the rest of the line did not";
    EXPECT_TRUE(leave());
}

TEST_F(Arguments, QuestionMarksAreAskedOnThePromptLine) {
    write("five.c", five_lines);
    e2e::pty_terminal &t = start_with(exit_keys + "key_bind \"F1\" \"line_goto ?\"\n"
                                                  "key_bind \"F2\" \"string_insert ?\"\n"
                                                  "key_bind \"F3\" \"character_insert ?\"\n"
                                                  "key_bind \"F4\" \"other_backups ?\"\n",
                                      {"five.c"});
    t.type(F[1]);
    ASSERT_TRUE(t.wait_row(2, "line number:"));
    t.type("2\r");
    ASSERT_TRUE(at_position(t, "2 1"));
    t.type(F[2]);
    ASSERT_TRUE(t.wait_row(2, "string:"));
    t.type("hi \r");
    ASSERT_TRUE(t.wait_row(5, "hi two"));
    t.type(F[3]);
    ASSERT_TRUE(t.wait_row(2, "character:"));
    t.type("\x1b[A"); // not a character: ignored
    t.type("z");
    ASSERT_TRUE(t.wait_row(5, "hi ztwo"));
    t.type(F[4]);
    ASSERT_TRUE(t.wait_row(2, "backups: yes no"));
    t.type("n\r");
    ASSERT_TRUE(t.wait_row(2, "backups disabled"));
    t.type(F[1]);
    ASSERT_TRUE(t.wait_row(2, "line number:"));
    t.type("\x1b");
    ASSERT_TRUE(t.wait_row(2, "aborted"));
    EXPECT_TRUE(at_position(t, "2 5"));
    t.type("\x0b\x11");
    EXPECT_TRUE(t.wait_exit(1));
}

// Waits for a question of choices on the prompt line, drawn up to its last.
testing::AssertionResult choices_shown(e2e::pty_terminal &t, const std::string &first,
                                       const std::string &last) {
    return t.wait_for(
        [&] {
            std::string row = t.row(2);
            return row.starts_with(first) && row.ends_with(" " + last);
        },
        "the prompt line to read \"" + first + " ... " + last + "\"");
}

// Whether the choice on the prompt line at that column is the highlighted one.
bool highlighted(e2e::pty_terminal &t, int column) {
    return t.at(2, column).bg != t.at(2, 0).bg;
}

TEST_F(Menu, AGroupThenACommandWhoseArgumentsAreAsked) {
    write("five.c", five_lines);
    e2e::pty_terminal &t = start_with(exit_keys, {"five.c"});
    t.type("\x1b");
    ASSERT_TRUE(choices_shown(t, "menu: character string word line page", "COMMAND"));
    EXPECT_TRUE(highlighted(t, 6)) << "the first group to begin with";
    t.type("l");
    ASSERT_TRUE(t.wait_for([&] { return highlighted(t, 29); }, "line chosen"));
    t.type("\r");
    ASSERT_TRUE(choices_shown(t, "line: insert insert... insert::: delete", "trans"));
    t.type("g\r");
    ASSERT_TRUE(t.wait_row(2, "line number:"));
    t.type("4\r");
    ASSERT_TRUE(at_position(t, "4 1"));

    t.type("\x1b");
    ASSERT_TRUE(choices_shown(t, "menu: ", "COMMAND"));
    EXPECT_TRUE(highlighted(t, 29)) << "the group chosen last comes first";
    EXPECT_FALSE(highlighted(t, 6));
    t.type("\r");
    ASSERT_TRUE(choices_shown(t, "line: ", "trans"));
    int go_to = static_cast<int>(t.row(2).find(" goto ")) + 1;
    EXPECT_TRUE(highlighted(t, go_to)) << "and within it the command chosen last";
    t.type("\r");
    ASSERT_TRUE(t.wait_row(2, "line number:"));
    t.type("1\r");
    ASSERT_TRUE(at_position(t, "1 1"));
    EXPECT_TRUE(leave());
}

TEST_F(Menu, CommandTakesAWholeTextAndEscapeAborts) {
    e2e::pty_terminal &t = start_with(exit_keys);
    t.type("\x1b");
    ASSERT_TRUE(choices_shown(t, "menu: ", "COMMAND"));
    t.type("C\r");
    ASSERT_TRUE(t.wait_row(2, "command:"));
    t.type("setup_insert string_insert \"ox\"\r");
    ASSERT_TRUE(t.wait_row(4, "ox"));
    EXPECT_TRUE(t.wait_row(1, overtype_mode));
    t.type("\x1b");
    ASSERT_TRUE(choices_shown(t, "menu: ", "COMMAND"));
    EXPECT_TRUE(highlighted(t, static_cast<int>(t.row(2).find("COMMAND"))));
    t.type("\x1b");
    ASSERT_TRUE(t.wait_row(2, "aborted"));
    t.type("\x1b");
    ASSERT_TRUE(choices_shown(t, "menu: ", "COMMAND"));
    t.type("\r");
    ASSERT_TRUE(t.wait_row(2, "command:"));
    t.type("\x1b");
    ASSERT_TRUE(t.wait_row(2, "aborted"));
    t.type("\x0b\x11");
    EXPECT_TRUE(t.wait_exit(1));
}

} // namespace
