// ox in the terminals of today, through a real terminal with the bytes they
// send: a paste (its lines and their indents are tested by the commands'
// tests) and UTF-8 text. (Keys with modifiers, and UTF-8 shown as bytes
// where the locale is not UTF-8, are seen through screen_demo in tests/e2e.)
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

TEST_F(Terminals, Utf8TextShownTypedMovedOverDeletedAndSavedAsItWas) {
    write("u.txt", utf8_line + "\n");
    e2e::options opts;
    opts.locale = "C.UTF-8";
    e2e::pty_terminal &t = start_with(exit_keys + "key_bind \"Del127\" \"character_delete_left\"\n"
                                                  "key_bind \"Del\" \"character_delete_right\"\n"
                                                  "key_bind \"Right\" \"character_right\"\n",
                                      {"u.txt"}, opts);
    EXPECT_EQ(t.text(4), "caf\xc3\xa9 \xe4\xb8\xad e\xcc\x81 ?!");
    auto at_column = [&](int col) {
        return t.wait_for([&] { return t.cursor_col() == col; }, "column " + std::to_string(col));
    };
    // Right over c a f é and the blank: column 5; over 中: 7.
    t.type("\x1b[C\x1b[C\x1b[C\x1b[C\x1b[C");
    ASSERT_TRUE(at_column(5));
    t.type("\x1b[C");
    ASSERT_TRUE(at_column(7));
    // Backspace takes 中 whole; ü and ж typed as UTF-8 go in whole.
    t.type("\x7f\xc3\xbc\xd0\xb6");
    ASSERT_TRUE(t.wait_text(4, "caf\xc3\xa9 \xc3\xbc\xd0\xb6 e\xcc\x81 ?!"));
    // Over the blank, e and its mark, the blank: Delete takes the invalid byte.
    t.type("\x1b[C\x1b[C\x1b[C\x1b[C\x1b[3~");
    ASSERT_TRUE(t.wait_text(4, "caf\xc3\xa9 \xc3\xbc\xd0\xb6 e\xcc\x81 !"));
    EXPECT_TRUE(leave({"u.txt"}));
    EXPECT_EQ(read("u.txt"), "caf\xc3\xa9 \xc3\xbc\xd0\xb6 e\xcc\x81 !\n");
    EXPECT_EQ(read("u.bak"), utf8_line + "\n");
}

} // namespace
