// Hang-up and termination: every changed buffer goes to a new emergency
// file, the files it came from stay as they were, and ox ends as an abort
// does.
#include "main/ox_session.h"

#include <csignal>
#include <sstream>

namespace {

using Hangup = ox_e2e::OxTest;
using test_support::permissions;
using test_support::read_file;

// ^K ^I enters a virtual fold, ^N goes down a line.
const std::string keys = ox_e2e::exit_keys + "key_bind \"^K ^I\" \"fold_in\"\n"
                                             "key_bind \"^N\" \"line_down\"\n";

TEST_F(Hangup, EachSignalSavesEveryChangedBufferBesideItsFile) {
    for (int sig : {SIGHUP, SIGTERM, SIGQUIT, SIGXCPU}) {
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

// Nothing changed, nothing saved; a write holds a hang-up back only while it runs.
TEST_F(Hangup, NothingChangedNothingSavedAndAWriteDoesNotHoldItBackAfter) {
    write("a.txt", "a\n");
    for (bool edit : {false, true}) {
        e2e::pty_terminal &t =
            start_with(keys + "key_bind \"^W\" \"buffer_write . no\"\n", {"a.txt"});
        if (edit) {
            ASSERT_TRUE(play({{"x\x17y", 4, "xya"}}));
        }
        t.signal(SIGHUP);
        ASSERT_TRUE(t.wait_exit(1));
    }
    EXPECT_EQ(read("a.txt.save"), "xya\n");
    EXPECT_EQ(files.names(), (std::set<std::string>{"a.txt", "a.bak", "a.txt.save", "keys.ini"}));
}

// While a command runs, or "press return" is awaited, a hang-up or a
// termination saves the work at once, and the command is hung up too. Where
// the terminal goes but no signal comes (ox is not the session's leader and
// its leader ignores the hang-up), the screen cannot come back: status 3,
// the work saved first.
TEST_F(Hangup, DuringAnOutsideCommandTheWorkIsSavedAtOnce) {
    struct outside_case {
        std::string keys, running; // the command, and what shows once it runs
        int sig;                   // 0: the terminal goes away
        int status;
        bool wrapped; // started by a shell that ignores SIGHUP
    };
    const std::string run2 = "echo RUN$((1+1))", filter = "\x0b\x06", shell = "\x0b\x05";
    for (const outside_case &c : {
             outside_case{shell + "trap 'echo hup >hup; exit' HUP; " + run2 + "; sleep 30 & wait\r",
                          "RUN2", 0, 1, false},
             outside_case{filter +
                              "trap '' HUP; echo $$ >pid; readlink /proc/$$/fd/[01] | cat >tmp; " +
                              run2 + " >/dev/tty; sleep 30; cat\r",
                          "RUN2", SIGTERM, 1, false},
             outside_case{shell + "\r", "RUN2>", 0, 1, false}, // the user's shell
             outside_case{shell + run2 + "\r", "press return to return to ox", SIGHUP, 1, false},
             outside_case{shell + run2 + "; sleep 1\r", "RUN2", 0, 3, true},
         }) {
        SCOPED_TRACE(c.keys);
        std::filesystem::remove(files.path("a.txt.save"));
        write("a.txt", "a\n");
        write("keys.ini", keys +
                              "key_bind \"^K ^E\" \"other_shell ?\"\n"
                              "key_bind \"^K ^F\" \"block_mark_1 block_mark_2 block_filter ?\"\n");
        std::vector<std::string> args = {"-i", "keys.ini", "a.txt"};
        if (c.wrapped)
            args.insert(args.begin(), {"-c", "trap '' HUP; \"$0\" \"$@\"; exit $?", OX_PROGRAM});
        e2e::pty_terminal &t =
            start(args, {24, 80, "xterm", {"SHELL=/bin/sh", "PS1=RUN2> ", "ENV="}},
                  c.wrapped ? "/bin/sh" : OX_PROGRAM);
        ASSERT_TRUE(play({{"", 2, ox_e2e::banner}, {"new ", 4, "new a"}, {c.keys, 2, ""}}));
        ASSERT_TRUE(
            t.wait_for([&] { return t.output().find(c.running) != std::string::npos; }, c.running));
        c.sig ? t.signal(c.sig) : t.hang_up();
        ASSERT_TRUE(t.wait_exit(c.status));
        EXPECT_EQ(read("a.txt.save"), "new a\n");
        EXPECT_EQ(read("a.txt"), "a\n");
        if (c.keys.find("hup >hup") != std::string::npos) {
            EXPECT_EQ(read("hup"), "hup\n") << "the command was hung up";
        }
        std::istringstream temporary(c.keys.find(">tmp") != std::string::npos ? read("tmp") : "");
        for (std::string name; std::getline(temporary, name);)
            EXPECT_FALSE(std::filesystem::exists(name)) << name;
        if (c.keys.find(">pid") == std::string::npos) continue;
        // A command that ignores the hang-up is ended all the same: gone or a zombie.
        const std::string stat = "/proc/" + read("pid").substr(0, read("pid").size() - 1) + "/stat";
        auto ended = [&] { return read_file(stat).find(") Z ") != std::string::npos; };
        for (int i = 0; i < 100 && !ended() && read_file(stat) != "<missing>"; i++) usleep(20000);
        EXPECT_TRUE(ended() || read_file(stat) == "<missing>") << "the command still runs";
    }
}

} // namespace
