// ox in the terminals of today, through a real terminal with the bytes they
// send: a paste (its lines and their indents are tested by the commands'
// tests) and UTF-8 text. (Keys with modifiers are the key decoder's tests;
// UTF-8 shown as bytes where the locale is not UTF-8 is seen through
// screen_demo in tests/e2e.)
#include "main/ox_session.h"

namespace {

using ox_e2e::exit_keys;

using Terminals = ox_e2e::OxTest;

const std::string PASTE = "\x1b[200~", PASTED = "\x1b[201~";

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

} // namespace
