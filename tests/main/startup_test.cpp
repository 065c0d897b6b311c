// Starting ox: the files named on the command line, the messages of reading
// them, the initialisation file and the banner.
#include <sys/stat.h>

#include "main/ox_session.h"

namespace {

using ox_e2e::banner;
using ox_e2e::exit_keys;
using ox_e2e::OxTest;

using Startup = OxTest;
using StartupFiles = OxTest;
using StartupIni = OxTest;

const std::string folded = "first\n/*...Sinner:2:*/\ninside\n/*...e*/\nlast\n";

TEST_F(Startup, OneFileIsLoadedAndCurrent) {
    write("a.c", folded);
    e2e::pty_terminal &t = start_with(exit_keys, {"a.c"});
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
        "~",
        "~",
        "~",
        "~",
        "~",
        "~",
        "~",
        "~",
        "~",
        "~",
        "~",
        "~",
        "~",
        "~",
    }));
    EXPECT_EQ(t.cursor_row(), 4);
    EXPECT_EQ(t.cursor_col(), 0);
    t.type("x");
    ASSERT_TRUE(t.wait_row(2, "")) << "the banner stays until the first key";
    EXPECT_TRUE(t.wait_row(4, "xfirst"));
    EXPECT_TRUE(leave({"a.c"}));
    EXPECT_EQ(read("a.c"), "x" + folded);
    EXPECT_EQ(read("a.bak"), folded);
}

TEST_F(Startup, TwoFilesAreListedAndNotLoaded) {
    write("a.c", folded);
    e2e::pty_terminal &t = start_with(exit_keys, {"a.c", "missing.c"});
    EXPECT_EQ(t.row(0).substr(0, 58), std::string(58, ' ')) << "the first buffer has no name";
    EXPECT_EQ(t.row(4), ">>> a.c");
    EXPECT_EQ(t.row(5), ">>> missing.c") << "not read: no message for the missing file";
    EXPECT_EQ(t.row(6), "^");
    EXPECT_TRUE(leave());
    EXPECT_FALSE(exists("missing.c"));
}

TEST_F(StartupFiles, WithLEveryFileIsLoadedAndTheListStaysCurrent) {
    write("a.c", folded);
    write("keys.ini", exit_keys);
    e2e::pty_terminal &t = start({"-i", "keys.ini", "-l", "missing.c", "a.c"});
    ASSERT_TRUE(t.wait_row(2, "can't open missing.c"));
    t.type(" ");
    ASSERT_TRUE(t.wait_row(2, banner));
    EXPECT_EQ(t.row(4), ">>> missing.c");
    EXPECT_EQ(t.row(5), ">>> a.c");
    EXPECT_TRUE(leave());
}

TEST_F(StartupFiles, WithLTheOneAcceptableFileBecomesCurrent) {
    write("a.c", folded);
    write("keys.ini", exit_keys);
    e2e::pty_terminal &t = start({"-i", "keys.ini", "-l", "/dev/null", "a.c"});
    ASSERT_TRUE(t.wait_row(2, banner));
    EXPECT_EQ(t.row(0).substr(0, 4), "a.c ");
    EXPECT_EQ(t.row(4), "first");
    EXPECT_TRUE(leave());
}

TEST_F(StartupFiles, AMissingFileIsANewOne) {
    write("keys.ini", exit_keys);
    e2e::pty_terminal &t = start({"-i", "keys.ini", "new.c"});
    ASSERT_TRUE(t.wait_row(2, "can't open new.c"));
    EXPECT_EQ(t.row(4), "") << "the message waits for a key";
    t.type(" ");
    ASSERT_TRUE(t.wait_row(2, banner));
    EXPECT_EQ(t.row(0).substr(0, 6), "new.c ");
    EXPECT_EQ(t.row(4), "^");
    t.type("hi");
    ASSERT_TRUE(t.wait_row(4, "hi"));
    EXPECT_TRUE(leave({"new.c"}));
    EXPECT_EQ(read("new.c"), "hi\n");
}

TEST_F(StartupFiles, ReadingMessagesEachWaitForAKey) {
    write("keys.ini", exit_keys);
    write("ro.c", "x\n" + std::string(600, 'y') + "\nz\n");
    ASSERT_EQ(chmod(path("ro.c").c_str(), 0444), 0);
    e2e::pty_terminal &t = start({"-i", "keys.ini", "ro.c"});
    ASSERT_TRUE(t.wait_row(2, "warning: readonly file ro.c"));
    t.type(" ");
    ASSERT_TRUE(t.wait_row(2, "warning: long lines split in ro.c"));
    t.type(" ");
    ASSERT_TRUE(t.wait_row(2, banner));
    EXPECT_EQ(t.row(4), "x");
    EXPECT_EQ(t.row(5), std::string(79, 'y'));
    EXPECT_EQ(t.row(6), std::string(79, 'y')) << "500 bytes, then the other 100";
    EXPECT_EQ(t.row(7), "z");
    t.type("\x0bq");
    EXPECT_TRUE(t.wait_exit(1));
}

TEST_F(StartupFiles, NulBytesAndCorruptFoldsAreReported) {
    write("keys.ini", exit_keys);
    write("nul.c", std::string("a\0b\nc\n", 6));
    e2e::pty_terminal &t = start({"-i", "keys.ini", "nul.c"});
    ASSERT_TRUE(t.wait_row(2, "warning: NUL bytes dropped in nul.c"));
    t.type(" ");
    ASSERT_TRUE(t.wait_row(2, banner));
    EXPECT_EQ(t.row(4), "a");
    EXPECT_EQ(t.row(5), "c");
    t.type("\x0bq");
    ASSERT_TRUE(t.wait_exit(1));

    write("bad.c", "kept\n/*...e*/\nlost\n");
    e2e::pty_terminal &bad = start({"-i", "keys.ini", "bad.c"});
    ASSERT_TRUE(bad.wait_row(2, "fold structure corrupt in bad.c"));
    bad.type(" ");
    ASSERT_TRUE(bad.wait_row(2, banner));
    EXPECT_EQ(bad.row(4), "kept");
    EXPECT_EQ(bad.row(5), "^");
    bad.type("\x0bq");
    EXPECT_TRUE(bad.wait_exit(1));
}

TEST_F(StartupIni, SectionsCommentsAndAFailingLine) {
    write("keys.ini", "; keys for the test\n"
                      "\n"
                      "$D switched off: not run, not reported\n"
                      "nonsense\n"
                      "$U\n" +
                          exit_keys + // lines 6 to 8
                          "key_bind \"^B\" \"setup_insert\" nonsense key_bind \"^C\" \"x\"\n"
                          "   ; an indented comment\n"
                          "key_bind \"^D\" \"setup_insert\"\n");
    e2e::pty_terminal &t = start({"-i", "keys.ini"});
    ASSERT_TRUE(t.wait_row(2, "error in file keys.ini at line 9, press a key ..."));
    t.type(" ");
    ASSERT_TRUE(t.wait_row(2, banner));
    t.type("\x02");
    ASSERT_TRUE(t.wait_row(1, std::string(58, ' ') + "autoindent overtype ^I"));
    t.type("\x03");
    ASSERT_TRUE(t.wait_row(2, "^C is not bound")) << "the rest of the failing line was not run";
    t.type("\x04");
    ASSERT_TRUE(t.wait_row(1, std::string(58, ' ') + "autoindent  insert  ^I"))
        << "the lines after the failing one were run";
    EXPECT_TRUE(leave());
}

TEST_F(StartupIni, WithoutAFileTheDefaultsAreBound) {
    e2e::options wide;
    wide.cols = 100;
    e2e::pty_terminal &t = start({"-i", "gone/ox.ini"}, wide);
    ASSERT_TRUE(
        t.wait_row(2, "cannot open file gone/ox.ini, using defaults, ^K=exit, press a key ..."));
    t.type(" ");
    ASSERT_TRUE(t.wait_row(2, banner));
    t.type("ab\x13"); // ^S: character_left
    ASSERT_TRUE(t.wait_row(0, std::string(79, ' ') + "top            1 2"));
    t.type("\x0b");
    EXPECT_TRUE(t.wait_exit(0));
}

TEST_F(StartupIni, ANameThatIsNoFileNameBindsNothing) {
    e2e::pty_terminal &t = start({"-i", "/dev/null"});
    ASSERT_TRUE(t.wait_row(2, "bad initialisation file name"));
    t.type(" ");
    ASSERT_TRUE(t.wait_row(2, banner));
    t.type("\x0b");
    ASSERT_TRUE(t.wait_row(2, "^K is not bound"));
}

TEST_F(StartupIni, TheFileBesideTheProgramIsTheDefault) {
    e2e::pty_terminal &t = start({});
    ASSERT_TRUE(t.wait_row(2, banner)) << "ox.ini is read without a message";
    t.type("\x0b");
    ASSERT_TRUE(t.wait_row(2, "^K ..."));
    t.type("x");
    EXPECT_TRUE(t.wait_exit(0));
}

TEST_F(StartupIni, AnExitInTheFileEndsTheEditorOnceItHasStarted) {
    write("a.c", "text\n");
    write("keys.ini", "other_exit yes\nkey_bind \"^B\" \"x\"\n");
    e2e::pty_terminal &t = start({"-i", "keys.ini", "a.c"});
    EXPECT_TRUE(t.wait_exit(0));
}

// The initialisation file may have deleted the language "top": a file that
// no other language takes is then skipped, with a message, rather than given
// a buffer without a language.
TEST_F(StartupFiles, WithoutTopAFileNoLanguageTakesIsSkipped) {
    write("a.c", "int a;\n");
    write("notes.txt", "text\n");
    e2e::pty_terminal t({LOAD_DRIVER_PROGRAM, path("notes.txt"), path("a.c")});
    ASSERT_TRUE(t.wait_row(2, "can't deduce language"));
    EXPECT_EQ(t.row(4), "") << "the message waits for a key";
    t.type(" ");
    ASSERT_TRUE(t.wait_row(4, path("notes.txt") + ": 2, 1 buffers"));
    ASSERT_TRUE(t.wait_row(5, path("a.c") + ": 1, 2 buffers"));
    ASSERT_TRUE(t.wait_row(6, "done"));
    t.type(" ");
    EXPECT_TRUE(t.wait_exit(0));
}

} // namespace
