// Undo and redo through a terminal with the keys of the shipped ox.ini: the
// main loop makes a typed word one action, the cursor goes back where it
// began, and the changed flag shows in whether leaving asks to write the
// file. Filters, replacements confirmed match by match and the rest are the
// randomized test's (tests/commands/undo_test.cpp).
#include "main/ox_session.h"

namespace {

using namespace ox_e2e::keys;

const std::string undo = "\x1f", redo = "\v\x1a", save = "\v\x13";

using Undo = ox_e2e::OxTest;

TEST_F(Undo, ATypedWordTakenBackToTheFileAsWritten) {
    write("list.txt", "d\nb\n");
    e2e::pty_terminal &t = start({"list.txt"});
    ASSERT_TRUE(t.wait_row(2, ox_e2e::banner));
    // clang-format off
    ASSERT_TRUE(play({
        {undo, 2, "nothing to undo"}, {redo, 2, "nothing to redo"},
        // The typed word is one action; the cursor goes back to its start.
        {"word ", 4, "word d"}, {"", 0, ox_e2e::status_row("list.txt", 1, 6)},
        {undo, 4, "d"}, {"", 0, ox_e2e::status_row("list.txt", 1, 1)},
        {redo, 4, "word d"}, {"", 0, ox_e2e::status_row("list.txt", 1, 6)},
        {save, 4, "word d"}, {down + "x", 5, "bx"}, {undo, 5, "b"}}));
    // clang-format on
    // Back at the text last written: leaving asks nothing.
    t.type("\vx");
    EXPECT_TRUE(t.wait_exit(0));
    EXPECT_EQ(read("list.txt"), "word d\nb\n");
}

} // namespace
