// Undo and redo through a terminal with the keys of the shipped ox.ini: a
// typed word, a filter, a replacement confirmed match by match, the menu's
// "other" group, and the changed flag seen where it shows, in whether leaving
// asks to write the file.
#include "main/ox_session.h"

namespace {

const std::string undo = "\x1f", redo = "\v\x1a", save = "\v\x13", down = "\x1b[B",
                  right = "\x1b[C", mark_1 = "\x0f", mark_2 = "\x10", filter = "\x1b[20;2~", // ~F9
    replace = "\x1c", sure = "sure: yes no";

std::string status(int line, int col) {
    std::string s = "list.txt", number = std::to_string(line);
    s.resize(59, ' ');
    s += "top";
    s.resize(75 - number.size(), ' ');
    return s + number + " " + std::to_string(col);
}

// Waits for the text rows, "~" rows left out, to read rows joined by "|".
testing::AssertionResult text_shown(e2e::pty_terminal &t, const std::string &rows) {
    auto shown = [&] {
        std::string s;
        for (int r = 3; r < 24; r++)
            if (t.row(r) != "~") s += (s.empty() ? "" : "|") + t.row(r);
        return s;
    };
    return t.wait_for([&] { return shown() == rows; }, "the text to read " + rows);
}

using Undo = ox_e2e::OxTest;

TEST_F(Undo, TypingAndAFilterTakenBackToTheFileAsWritten) {
    write("list.txt", "d\nb\na\nc\nend\n");
    e2e::pty_terminal &t = start({"list.txt"});
    ASSERT_TRUE(t.wait_row(2, ox_e2e::banner));
    // clang-format off
    ASSERT_TRUE(play({
        {undo, 2, "nothing to undo"}, {redo, 2, "nothing to redo"},
        // The typed word is one action; the cursor goes back to its start.
        {"word ", 4, "word d"}, {"", 0, status(1, 6)},
        {undo, 4, "d"}, {"", 0, status(1, 1)},
        {redo, 4, "word d"}, {"", 0, status(1, 6)},
        {save, 4, "word d"}}));
    // The filter sorts the lines below; undo puts them back in their order,
    // the cursor where the filter began.
    ASSERT_TRUE(play({{down + mark_1 + down + down + down + mark_2, 1, ox_e2e::insert_mode}}));
    ASSERT_TRUE(t.wait_for([&] { return t.row(0).ends_with(" 5 4"); }, "line 5"));
    const std::string before = t.row(0);
    // clang-format on
    ASSERT_TRUE(play({{filter, 2, "command:"}}));
    t.type("sort\r");
    ASSERT_TRUE(text_shown(t, "word d|a|b|c|end|^"));
    t.type(undo);
    ASSERT_TRUE(text_shown(t, "word d|b|a|c|end|^"));
    EXPECT_TRUE(t.wait_row(0, before));
    // Back at the text last written: leaving asks nothing.
    t.type("\vx");
    EXPECT_TRUE(t.wait_exit(0));
    EXPECT_EQ(read("list.txt"), "word d\nb\na\nc\nend\n");
}

TEST_F(Undo, AReplacementConfirmedMatchByMatchIsOneAction) {
    const std::string text = "one two one\n/*...sinner:0:*/\none\n/*...e*/\nlast one\n";
    write("list.txt", text);
    e2e::pty_terminal &t = start({"list.txt"});
    ASSERT_TRUE(t.wait_row(2, ox_e2e::banner));
    // From after the first "one": yes to the second, yes to the one in the
    // closed fold, no to the last.
    // clang-format off
    ASSERT_TRUE(play({{right + right + right + right, 0, status(1, 5)},
                      {replace, 2, "search for:"}, {"one\r", 2, "replace with:"},
                      {"1\r", 2, sure}, {"\r", 2, sure}, {"\r", 2, sure}, {"n\r", 2, "3 matches"}}));
    ASSERT_TRUE(text_shown(t, "one two 1|... inner|last one|^"));
    const std::string end = status(6, 1); // the search ran out on the end line
    ASSERT_TRUE(t.wait_row(0, end));
    // The answers are taken back at once, the cursor where the replacement
    // began, and made again, the cursor where it ended.
    ASSERT_TRUE(play({{undo, 0, status(1, 5)}}));
    ASSERT_TRUE(text_shown(t, "one two one|... inner|last one|^"));
    ASSERT_TRUE(play({{redo, 0, end}}));
    ASSERT_TRUE(text_shown(t, "one two 1|... inner|last one|^"));
    ASSERT_TRUE(play({{save, 0, end}, {undo, 0, status(1, 5)}}));
    // clang-format on
    EXPECT_EQ(read("list.txt"), "one two 1\n/*...sinner:0:*/\n1\n/*...e*/\nlast one\n");
    EXPECT_TRUE(leave({"list.txt"}));
    EXPECT_EQ(read("list.txt"), text) << "the fold's line is back too";
}

TEST_F(Undo, PastTheTextWrittenTheBufferCountsAsChanged) {
    write("list.txt", "d\nb\n");
    e2e::pty_terminal &t = start({"list.txt"});
    ASSERT_TRUE(t.wait_row(2, ox_e2e::banner));
    ASSERT_TRUE(play({{"z", 4, "zd"}, {save, 4, "zd"}, {undo, 4, "d"}}));
    EXPECT_TRUE(leave({"list.txt"}));
    EXPECT_EQ(read("list.txt"), "d\nb\n");
}

TEST_F(Undo, TheMenusOtherGroupEndsWithUndoAndRedo) {
    write("list.txt", "d\n");
    e2e::pty_terminal &t = start({"list.txt"}, {24, 160, "xterm", {}});
    ASSERT_TRUE(t.wait_row(2, ox_e2e::banner));
    ASSERT_TRUE(play({{"x", 4, "xd"}}));
    t.type("\x1b");
    ASSERT_TRUE(t.wait_for([&] { return t.row(2).starts_with("menu: "); }, "the menu"));
    t.type("o\r");
    ASSERT_TRUE(t.wait_for([&] { return t.row(2).starts_with("other: undelete put shell"); },
                           "the other group"));
    EXPECT_TRUE(t.row(2).ends_with(" backups undo redo")) << t.row(2);
    ASSERT_TRUE(play({{"u\r", 4, "d"}})) << "u moves from undelete to undo";
    EXPECT_TRUE(leave());
}

} // namespace
