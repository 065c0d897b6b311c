// Through a real terminal: several files in buffers with the keys of the
// shipped ox.ini, and the colours, the screen size and the tag mark as the
// screen shows them.
#include "main/ox_session.h"

namespace {

using ox_e2e::banner;

const std::string escape = "\x1b", f7 = "\x1b[18~";

class BufferSession : public ox_e2e::OxTest {
  protected:
    testing::AssertionResult row_starts(int r, const std::string &text) {
        return session->wait_for([&] { return session->row(r).starts_with(text); },
                                 "row " + std::to_string(r) + " to begin with \"" + text + "\"");
    }
    // Escape, the menu's last group, and a command text at its prompt.
    testing::AssertionResult command(const std::string &text) {
        session->type(escape);
        if (auto shown = row_starts(2, "menu: "); !shown) return shown;
        session->type("C\r");
        if (auto shown = row_starts(2, "command:"); !shown) return shown;
        session->type(text + "\r");
        return testing::AssertionSuccess();
    }
};

TEST_F(BufferSession, SeveralFilesSelectedReadRenamedWrittenAndDeleted) {
    write("a.txt", "alpha\n");
    write("b.txt", "beta\n");
    e2e::pty_terminal &t = start({"-l", "a.txt", "b.txt"});
    ASSERT_TRUE(t.wait_row(2, banner));
    // F7 asks for a buffer by its file name, the first (without a file)
    // shown blank.
    ASSERT_TRUE(play({{f7, 2, "select:   a.txt b.txt"}, {"b\r", 4, "beta"}, {"x", 4, "xbeta"}}));
    ASSERT_TRUE(command("buffer_rename . \"c.txt\""));
    ASSERT_TRUE(row_starts(0, "c.txt "));
    // Deleting the current buffer offers to write it first, then refuses.
    ASSERT_TRUE(play({{f7, 2, "select:   a.txt c.txt"}, {"a\r", 4, "alpha"}, {"y", 4, "yalpha"}}));
    ASSERT_TRUE(command("buffer_delete ."));
    ASSERT_TRUE(play(
        {{"", 2, "a.txt not written, write: yes no"}, {"\r", 2, "can't delete current buffer"}}));
    EXPECT_EQ(read("a.txt"), "yalpha\n");
    EXPECT_EQ(read("a.bak"), "alpha\n");
    // Leaving writes the renamed buffer under its new name.
    EXPECT_TRUE(leave({"c.txt"}));
    EXPECT_EQ(read("c.txt"), "xbeta\n");
    EXPECT_EQ(read("b.txt"), "beta\n");
}

// A file whose lines end in CR LF: told of once, shown and typed into
// without the CRs, written back with them.
TEST_F(BufferSession, ACrLfFileIsEditedWithoutItsCrsAndKeepsThem) {
    write("dos.txt", "one\r\ntwo\r\n");
    ASSERT_TRUE(start({}).wait_row(2, banner));
    ASSERT_TRUE(play({{"\x0b\x0e", 2, "filename:"},
                      {"dos.txt\r", 2, "CR LF line ends in dos.txt"},
                      {"\x1b[F!", 4, "one!"}}));
    EXPECT_TRUE(leave({"dos.txt"}));
    EXPECT_EQ(read("dos.txt"), "one!\r\ntwo\r\n");
}

// Colours as PC attributes: foreground in the low digit, background in the
// next; on the screen as the terminal's colour numbers.
TEST_F(BufferSession, ColoursTheTagMarkAndTheScreenSize) {
    write("t.txt", "one\n/*...sfold:0:*/\nin\n/*...e*/\n");
    e2e::pty_terminal &t = start_with(
        ox_e2e::exit_keys + "key_bind \"^A\" \"other_colours &12 &34 &70 &17 &16 &47\"\n"
                            "key_bind \"^B\" \"other_colours 7 &66 &246 &217 &216 &70\"\n"
                            "key_bind \"^E\" \"other_abort ?\"\n"
                            "key_bind \"^G\" \"tag_line\"\n"
                            "key_bind \"^F\" \"other_mode 300 0\"\n"
                            "key_bind \"^D\" \"other_mode 60 20\"\n",
        {"t.txt"});
    auto colours = [&](int r, int c, int fg, int bg) {
        return t.wait_for([&] { return t.at(r, c).fg == fg && t.at(r, c).bg == bg; },
                          "colours " + std::to_string(fg) + " on " + std::to_string(bg) +
                              " at row " + std::to_string(r) + ", column " + std::to_string(c));
    };
    t.type("\x01"); // green on blue, red on cyan, black on white, ..., white on red
    EXPECT_TRUE(colours(4, 0, 2, 4)) << "text";
    EXPECT_TRUE(colours(5, 0, 1, 6)) << "fold";
    EXPECT_TRUE(colours(0, 0, 0, 7)) << "status";
    t.type("\x05");
    ASSERT_TRUE(t.wait_row(2, "sure: yes no"));
    EXPECT_TRUE(colours(2, 6, 7, 1)) << "the highlighted choice";
    EXPECT_TRUE(colours(2, 0, 0, 7)) << "the question";
    std::string tagged = "one";
    tagged.resize(78, ' ');
    ASSERT_TRUE(play({{"n\r", 2, ""}, {"\x07", 4, tagged + "T"}}));
    EXPECT_TRUE(colours(4, 78, 1, 6)) << "the tag in the fold colour";
    // Brown on brown would hide the folds: that colour stays.
    ASSERT_TRUE(play({{"\x02", 2, "bad number"}}));
    EXPECT_TRUE(colours(0, 0, 3, 1)) << "the status colour was taken";
    EXPECT_TRUE(colours(5, 0, 1, 6)) << "the fold colour was kept";
    // A width the editor cannot use is refused; another size reopens the
    // terminal, which keeps its own size, and everything is drawn again.
    ASSERT_TRUE(play({{"\x06", 2, "unable to set mode"},
                      {"\x04", 5, "... fold"},
                      {"x", 4, "x" + tagged.substr(0, 77) + "T"}}));
    t.type("\v\x11");
    EXPECT_TRUE(t.wait_exit(1));
}

} // namespace
