// Blocks, filters and the shell through a terminal, with the keys of the
// shipped ox.ini: the marked block in its colours, the terminal handed to a
// command and the screen whole again afterwards. (Restricted mode refusing
// them is tested in tests/commands.)
#include "main/ox_session.h"

namespace {

using namespace ox_e2e::keys;

// The screen of list.txt after it was sorted: the cursor on its first line,
// on the row where the line after the block was.
std::vector<std::string> sorted_screen() {
    std::vector<std::string> rows = {ox_e2e::status_row("list.txt", 1, 1), ox_e2e::insert_mode, ""};
    rows.resize(8, "~");
    for (const char *line : {"a", "b", "c", "d", "end", "^"}) rows.push_back(line);
    rows.resize(24, "~");
    return rows;
}

using Blocks = ox_e2e::OxTest;

TEST_F(Blocks, MarkedFilteredAndTheShellReachedWithTheScreenKept) {
    write("list.txt", "d\nb\na\nc\nend\n");
    write("long.txt", std::string(600, 'l') + "\n");
    e2e::pty_terminal &t = start({"list.txt"});
    ASSERT_TRUE(t.wait_row(2, ox_e2e::banner));
    t.type(mark_1 + down + down + down + down + mark_2);
    ASSERT_TRUE(t.wait_row(0, ox_e2e::status_row("list.txt", 5, 1)));
    // The rows arrive one after another: wait for the last of them.
    ASSERT_TRUE(t.wait_for(
        [&] {
            int marked = t.at(4, 0).bg;
            return marked != t.at(8, 0).bg && t.at(7, 0).bg == marked && t.at(7, 79).bg == marked;
        },
        "the block marked across the whole width, rows 4 to 7"));
    const int marked = t.at(4, 0).bg;

    ASSERT_TRUE(play({{filter, 2, "command:"}, {"sort\r", 8, "a"}}));
    ASSERT_TRUE(t.wait_screen(sorted_screen()));
    EXPECT_EQ(t.at(8, 0).bg, marked);
    EXPECT_EQ(t.at(11, 0).bg, marked) << "the output is the marked block";
    EXPECT_NE(t.at(12, 0).bg, marked);

    // The command's output and the pause, wherever the terminal shows them.
    auto shows = [&](const std::string &text) {
        return t.wait_for(
            [&] {
                for (int r = 0; r < 24; r++)
                    if (t.row(r) == text) return true;
                return false;
            },
            "a row to read \"" + text + "\"");
    };
    ASSERT_TRUE(play({{shell, 2, "command:"}}));
    t.type("echo from the shell\r");
    ASSERT_TRUE(shows("from the shell"));
    ASSERT_TRUE(shows("press return to return to ox ..."));
    t.type("\r");
    ASSERT_TRUE(t.wait_screen(sorted_screen()));

    // A block read with its long line split says so.
    ASSERT_TRUE(play({{"\v\x12", 2, "filename:"}, // ^K R
                      {"long.txt\r", 2, "warning: long lines split in long.txt"}}));
    EXPECT_TRUE(leave({"list.txt"}));
    EXPECT_EQ(read("list.txt"),
              std::string(500, 'l') + "\n" + std::string(100, 'l') + "\na\nb\nc\nd\nend\n");
}

} // namespace
