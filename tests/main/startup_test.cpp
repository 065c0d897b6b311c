// Starting ox: the files named on the command line, the messages of reading
// them, the initialisation file and the banner.
#include "main/ox_session.h"

#include <sys/stat.h>

namespace {

using ox_e2e::banner;
using ox_e2e::exit_keys;

using Startup = ox_e2e::OxTest;

const std::string folded = "first\n/*...Sinner:2:*/\ninside\n/*...e*/\nlast\n";

TEST_F(Startup, OneFileIsLoadedAndCurrent) {
    write("a.c", folded);
    e2e::pty_terminal &t = start_with(exit_keys, {"a.c"}, {10, 80, "xterm", {}});
    EXPECT_TRUE(t.wait_screen({
        "a.c                                                        top            1 1",
        "                                                          autoindent  insert  ^I",
        banner,
        "~",
        "first",
        "  {{{ inner",
        "  inside",
        "  }}}",
        "last",
        "^",
    }));
    EXPECT_EQ(t.cursor_row() * 100 + t.cursor_col(), 400);
    t.type("x");
    ASSERT_TRUE(t.wait_row(2, "")) << "the banner stays until the first key";
    EXPECT_TRUE(t.wait_row(4, "xfirst"));
}

TEST_F(Startup, TwoNamesAreListedNotLoadedAndOptionsAfterTheFirstAreNames) {
    write("a.c", folded);
    e2e::pty_terminal &t = start_with(exit_keys, {"a.c", "-l", "missing.c"});
    EXPECT_EQ(t.row(0).substr(0, 58), std::string(58, ' ')) << "the first buffer has no name";
    EXPECT_EQ(t.row(4) + "|" + t.row(5) + "|" + t.row(6) + "|" + t.row(7),
              ">>> a.c|>>> -l|>>> missing.c|^");
}

TEST_F(Startup, WithLEveryFileIsReadOnlyRegularFilesAndEachMessageWaitsForAKey) {
    write("ro.c", "x\n" + std::string(600, 'y') + "\nz\n", 0444);
    ASSERT_EQ(mkfifo(files.path("fifo").c_str(), 0644), 0);
    // Each says that it waits, a long name cut to leave room for that.
    const std::string missing = std::string(70, 'm') + ".c", key = ", press a key ...";
    e2e::pty_terminal &t = start({"-l", missing, "ro.c", "fifo", "//dev/zero", "/tmp/../dev/zero"});
    // clang-format off
    ASSERT_TRUE(play({{"", 2, "can't open " + missing.substr(0, 51) + key},
                      {" ", 2, "warning: readonly file ro.c" + key},
                      {" ", 2, "warning: long lines split in ro.c" + key},
                      {" ", 2, "can't open fifo" + key}, {" ", 2, "can't open //dev/zero" + key},
                      {" ", 2, "can't open /tmp/../dev/zero" + key}, {" ", 2, banner}}));
    // clang-format on
    EXPECT_EQ(t.row(4) + "|" + t.row(5) + "|" + t.row(8),
              ">>> " + missing + "|>>> ro.c|>>> /tmp/../dev/zero");
    EXPECT_TRUE(leave());
}

TEST_F(Startup, AnInitialisationFileWithSectionsCommentsAndFailingLines) {
    write("keys.ini", "; keys for the test\n"
                      "\n"
                      "$D switched off: not run, not reported\n"
                      "nonsense\n"
                      "$U\n" +
                          exit_keys + // lines 6 to 8
                          "key_bind \"^B\" \"setup_insert\" nonsense key_bind \"^C\" \"x\"\n"
                          "   ; an indented comment\n" +
                          std::string(600, ' ') + "key_bind \"^D\" \"setup_insert\"\n" +
                          "key_bind \"^E\" \"setup_insert\"\n");
    start({"-i", "keys.ini"});
    // Of the failing line 9 only its first command ran; line 11 is too long
    // to be a command text and is not run in pieces; the lines after ran.
    const std::string error = "error in file keys.ini at line ";
    // clang-format off
    ASSERT_TRUE(play({{"", 2, error + "9, press a key ..."},
                      {" ", 2, error + "11, press a key ..."}, {" ", 2, banner},
                      {"\x02", 1, ox_e2e::overtype_mode},
                      {"\x03", 2, "^C is not bound"}, {"\x04", 2, "^D is not bound"},
                      {"\x05", 1, ox_e2e::insert_mode}}));
    // clang-format on
    EXPECT_TRUE(leave());
}

TEST_F(Startup, WithoutAFileTheDefaultsAreBound) {
    start({"-i", "gone/ox.ini"}, {24, 100, "xterm", {}});
    // clang-format off
    const std::string status = std::string(79, ' ') + "top            1 2";
    const std::string message = "cannot open file gone/ox.ini, using defaults, ^K=exit";
    ASSERT_TRUE(play({{"", 2, message + ", press a key ..."}, {" ", 2, banner},
                      {"ab\x13", 0, status}}))
        << "^S is character_left";
    // clang-format on
    ASSERT_TRUE(play({{"\x0b", 2, "unnamed buffer not written, write: yes no"}}));
    session->type("n\r");
    EXPECT_TRUE(session->wait_exit(0));
}

TEST_F(Startup, ANameThatIsNoFileNameIsSkippedWithAMessage) {
    write("a.c", folded);
    e2e::pty_terminal &t = start({"-i", "/dev/null", "-l", "/dev/null", "a.c",
                                  "b\x01"
                                  "c"});
    // clang-format off
    const std::string key = ", press a key ...";
    ASSERT_TRUE(play({{"", 2, "bad filename /dev/null" + key}, {" ", 2, "bad filename b?c" + key},
                      {" ", 2, "bad initialisation file name" + key}, {" ", 2, banner}}));
    // clang-format on
    EXPECT_EQ(t.row(0).substr(0, 4) + t.row(4), "a.c first") << "the one file loaded is current";
    ASSERT_TRUE(play({{"\x0b", 2, "^K is not bound"}})) << "nothing was bound";
}

// Without -i the key map beside the program is read, without a message; F1
// shows it and names the guide of the source tree the program was built from.
TEST_F(Startup, TheKeyMapBesideTheProgramAndTheUserGuideOfTheSource) {
    write("a.txt", "alpha\n");
    e2e::pty_terminal &t = start({"a.txt"}, {24, 160, "xterm", {}});
    std::string first_line = test_support::read_file(OX_SOURCE_DIR "/ox.ini");
    first_line.resize(first_line.find('\n'));
    ASSERT_TRUE(play({{"", 2, banner},
                      {ox_e2e::keys::f1, 2, "user guide: " OX_SOURCE_DIR "/docs/user-guide.md"},
                      {"", 4, first_line}}));
    EXPECT_TRUE(
        t.wait_for([&] { return t.row(0).starts_with(OX_PROGRAM ".ini "); }, "the key map shown"));
    EXPECT_TRUE(leave());
}

TEST_F(Startup, AnExitInTheFileEndsTheEditorOnceItHasStarted) {
    write("keys.ini", "other_exit yes\nkey_bind \"^B\" \"x\"\n");
    EXPECT_TRUE(start({"-i", "keys.ini"}).wait_exit(0));
}

} // namespace
