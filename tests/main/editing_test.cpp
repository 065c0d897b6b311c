// Editing through the keys that the shipped ox.ini binds: typing, lines and
// the undelete stack, pages and going to lines through folds, and saving.
#include "main/ox_session.h"

namespace {

using ox_e2e::at_position;
using ox_e2e::banner;
using ox_e2e::OxTest;

using Editing = OxTest;

// Keys as xterm sends them.
const char *const up = "\x1b[A", *const down = "\x1b[B", *const home = "\x1b[H",
                  *const end = "\x1b[F", *const ins = "\x1b[2~", *const del = "\x1b[3~",
                  *const pg_up = "\x1b[5~", *const pg_dn = "\x1b[6~", *const backspace = "\x7f";

// Starts ox on the files with the shipped ox.ini.
e2e::pty_terminal &started(e2e::pty_terminal &t) {
    EXPECT_TRUE(t.wait_row(2, banner));
    return t;
}

TEST_F(Editing, TypingJoiningAndSaving) {
    write("a.txt", "alpha beta\ngamma\n");
    e2e::pty_terminal &t = started(start({"a.txt"}));
    t.type(end);
    t.type("!\rnew");
    ASSERT_TRUE(t.wait_row(5, "new"));
    EXPECT_TRUE(t.wait_row(4, "alpha beta!"));
    t.type(down);
    t.type(home);
    t.type(backspace);
    ASSERT_TRUE(t.wait_row(5, "newgamma"))
        << "Backspace at a line's start joins it to the one above";
    ASSERT_TRUE(at_position(t, "2 4"));
    t.type(del);
    ASSERT_TRUE(t.wait_row(5, "newamma"));
    t.type(ins);
    t.type("XY");
    ASSERT_TRUE(t.wait_row(5, "newXYma")) << "Ins switches to overtype";
    t.type(ins);
    t.type("\t");
    ASSERT_TRUE(t.wait_row(5, "newXY   ma")) << "a real tab: the language's tab size is 0";
    t.type(up);
    t.type(end);
    t.type(del);
    ASSERT_TRUE(t.wait_row(4, "alpha beta!newXY        ma"))
        << "Delete at a line's end joins the next";
    t.type("\r");
    ASSERT_TRUE(t.wait_row(5, "newXY   ma"));
    EXPECT_TRUE(t.wait_row(4, "alpha beta!"));
    EXPECT_TRUE(leave({"a.txt"}));
    EXPECT_EQ(read("a.txt"), "alpha beta!\nnewXY\tma\n");
    EXPECT_EQ(read("a.bak"), "alpha beta\ngamma\n");
}

TEST_F(Editing, WordsAndTheEndOfALine) {
    write("w.txt", "alpha beta_gamma.delta\n");
    e2e::pty_terminal &t = started(start({"w.txt"}));
    t.type("\x06"); // ^F
    ASSERT_TRUE(at_position(t, "1 6"));
    t.type("\x06");
    ASSERT_TRUE(at_position(t, "1 11")) << "_ separates words in the built-in language";
    t.type("\x06");
    ASSERT_TRUE(at_position(t, "1 23"));
    t.type("\x01"); // ^A
    ASSERT_TRUE(at_position(t, "1 12"));
    t.type("\x01");
    ASSERT_TRUE(at_position(t, "1 7"));
    t.type("\x0e"); // ^N
    ASSERT_TRUE(t.wait_row(4, "alpha"));
    t.type("\x15"); // ^U
    ASSERT_TRUE(t.wait_row(4, "alpha beta_gamma.delta"));
    t.type("\x0b\x11"); // ^K ^Q
    ASSERT_TRUE(t.wait_row(2, "sure: yes no"));
    t.type("\r");
    EXPECT_TRUE(t.wait_exit(1));
    EXPECT_EQ(read("w.txt"), "alpha beta_gamma.delta\n");
}

TEST_F(Editing, LinesGoToTheUndeleteStackAndComeBack) {
    write("n.txt", "1\n2\n3\n");
    e2e::pty_terminal &t = started(start({"n.txt"}));
    t.type("\x19"); // ^Y
    ASSERT_TRUE(t.wait_row(4, "2"));
    EXPECT_TRUE(t.wait_row(5, "3"));
    t.type(down);
    t.type("\x15"); // ^U: back where the cursor is now
    ASSERT_TRUE(t.wait_row(5, "1"));
    EXPECT_TRUE(t.wait_row(6, "3"));
    t.type("\x0b"
           "c");        // ^K C: copy
    t.type("\x14\x14"); // ^T ^T
    ASSERT_TRUE(t.wait_row(7, "1"));
    EXPECT_TRUE(t.wait_row(4, "2"));
    EXPECT_TRUE(t.wait_row(5, "1"));
    EXPECT_TRUE(t.wait_row(6, "1"));
    EXPECT_TRUE(t.wait_row(8, "3"));
    EXPECT_TRUE(leave({"n.txt"}));
    EXPECT_EQ(read("n.txt"), "2\n1\n1\n1\n3\n");
}

TEST_F(Editing, PagesAndLinesThroughFolds) {
    std::string text;
    for (int i = 1; i <= 60; i++) text += "l" + std::to_string(i) + "\n";
    text += "/*...sdeep:0:*/\nd1\nd2\n/*...e*/\nlast\n"; // lines 61 to 65
    write("p.txt", text);
    e2e::pty_terminal &t = started(start({"p.txt"}));
    t.type(pg_dn);
    ASSERT_TRUE(at_position(t, "20 1"));
    EXPECT_TRUE(t.wait_row(4, "l20")) << "the text moves a page under a still cursor";
    t.type(pg_dn);
    ASSERT_TRUE(at_position(t, "39 1"));
    t.type(pg_up);
    ASSERT_TRUE(at_position(t, "20 1"));
    t.type("\x0b\x0c"); // ^K ^L
    ASSERT_TRUE(t.wait_row(2, "line number:"));
    t.type("63\r");
    ASSERT_TRUE(at_position(t, "63 1"));
    EXPECT_TRUE(t.wait_row(1, "deep" + std::string(54, ' ') + "autoindent  insert  ^I"))
        << "the closed fold is entered";
    EXPECT_TRUE(t.wait_row(22, "d2")) << "on the lowest row the cursor may take";
    t.type("\x0b\x0c"
           "0\r");
    ASSERT_TRUE(at_position(t, "66 1")) << "0 goes to the end of the file";
    EXPECT_TRUE(t.wait_row(1, std::string(58, ' ') + "autoindent  insert  ^I"))
        << "out of the fold again";
    EXPECT_TRUE(t.wait_row(22, "^"));
    EXPECT_TRUE(t.wait_row(20, "... deep"));
    t.type(pg_up);
    ASSERT_TRUE(at_position(t, "44 1")) << "a page is 19 lines of the list, the fold one of them";
    t.type("\x0b\x0c"
           "1\r");
    ASSERT_TRUE(at_position(t, "1 1"));
    EXPECT_TRUE(leave());
}

} // namespace
