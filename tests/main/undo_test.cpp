// Undo and redo through a terminal with the keys of the shipped ox.ini: a
// typed word, a filter, a replacement confirmed match by match, and the
// changed flag seen where it shows, in whether leaving asks to write the file.
#include "main/ox_session.h"

namespace {

using namespace ox_e2e::keys;

const std::string undo = "\x1f", redo = "\v\x1a", save = "\v\x13", replace = "\x1c",
                  sure = "sure: yes no";

std::string status(int line, int col) {
    return ox_e2e::status_row("list.txt", line, col);
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
    // Past the text written the buffer counts as changed.
    EXPECT_TRUE(leave({"list.txt"}));
    EXPECT_EQ(read("list.txt"), text) << "the fold's line is back too";
}

} // namespace
