// Hang-up and termination: every changed buffer goes to a new emergency
// file, the files it came from stay as they were, and ox ends as an abort
// does.
#include "main/ox_session.h"

#include <csignal>

namespace {

using Hangup = ox_e2e::OxTest;
using test_support::permissions;

// ^K ^I enters a virtual fold, ^N goes down a line.
const std::string keys = ox_e2e::exit_keys + "key_bind \"^K ^I\" \"fold_in\"\n"
                                             "key_bind \"^N\" \"line_down\"\n";

TEST_F(Hangup, EachSignalSavesEveryChangedBufferBesideItsFile) {
    for (int sig : {SIGHUP, SIGTERM, SIGQUIT}) {
        const std::string n = std::to_string(sig), outer = "a" + n + ".top",
                          inner = "b" + n + ".txt";
        const std::string outer_text = "x\n/*...Vb" + n + "\\46\\txt:0:*/\n";
        SCOPED_TRACE(outer);
        write(outer, outer_text);
        write(inner, "three\n", 0640);
        write(inner + ".save", "older\n"); // taken: the next name is used
        e2e::pty_terminal &t = start_with(keys, {outer});
        // A changed buffer and, entered from it, a changed child buffer.
        ASSERT_TRUE(play({{"A\x0e\x0b\x09", 4, "three"}, {"B", 4, "Bthree"}}));
        t.signal(sig);
        ASSERT_TRUE(t.wait_exit(1));
        EXPECT_EQ(read(outer + ".save"), "A" + outer_text);
        EXPECT_EQ(read(inner + ".save.1"), "Bthree\n");
        EXPECT_EQ(permissions(files.path(outer + ".save")), 0600);
        EXPECT_EQ(permissions(files.path(inner + ".save.1")), 0600);
        EXPECT_EQ(read(outer), outer_text) << "the files themselves are untouched";
        EXPECT_EQ(read(inner), "three\n");
        EXPECT_EQ(permissions(files.path(inner)), 0640);
        EXPECT_EQ(read(inner + ".save"), "older\n");
        EXPECT_NE(t.output().find("ox: " + outer + " saved in " + outer + ".save\r\n"),
                  std::string::npos);
        EXPECT_NE(t.output().find("ox: " + inner + " saved in " + inner + ".save.1\r\n"),
                  std::string::npos);
    }
}

TEST_F(Hangup, AnUnnamedBufferGoesToTheCurrentFolderAndASymlinkIsNeverFollowed) {
    // An emergency file is always new: a link in the way of the first name
    // is passed over like a file, and what it names is not written.
    write("target", "kept\n");
    ASSERT_EQ(symlink("target", files.path("ox.save").c_str()), 0);
    e2e::pty_terminal &t = start_with(keys);
    ASSERT_TRUE(play({{"hello", 4, "hello"}}));
    t.signal(SIGTERM);
    ASSERT_TRUE(t.wait_exit(1));
    EXPECT_EQ(read("ox.save.1"), "hello\n");
    EXPECT_EQ(read("target"), "kept\n");
    EXPECT_NE(t.output().find("ox: unnamed buffer saved in ox.save.1"), std::string::npos);
}

TEST_F(Hangup, NothingChangedNothingSaved) {
    write("a.txt", "a\n");
    e2e::pty_terminal &t = start_with(keys, {"a.txt"});
    t.signal(SIGHUP);
    ASSERT_TRUE(t.wait_exit(1));
    EXPECT_EQ(files.names(), (std::set<std::string>{"a.txt", "keys.ini"}));
}

} // namespace
