// Leaving the editor, through the real program in a terminal: the questions,
// the files written with their backups and modes, writes that fail, and the
// exit statuses.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "e2e/pty_terminal.h"
#include "scratch_files.h"

namespace {

using e2e::pty_terminal;
using names = std::set<std::string>;

class ExitOnTerminal : public ::testing::Test {
  protected:
    void SetUp() override {
        put_file(path("test.ini"), "key_bind \"^X\" \"other_exit yes\"\n"
                                   "key_bind \"^E\" \"other_exit ?\"\n"
                                   "key_bind \"^A\" \"other_abort yes\"\n"
                                   "key_bind \"^B\" \"other_backups no\"\n");
    }
    std::string path(const std::string &base) const { return files.path(base); }

    // ox on the file with the test's bindings, once it is ready for keys.
    std::unique_ptr<pty_terminal> ox(const std::string &fn, const std::string &key_wait = "") {
        auto t = std::make_unique<pty_terminal>(
            std::vector<std::string>{OX_PROGRAM, "-i", path("test.ini"), fn});
        if (!key_wait.empty()) {
            EXPECT_TRUE(t->wait_row(2, key_wait));
            t->type(" ");
        }
        EXPECT_TRUE(t->wait_text("Birch Editor for"));
        return t;
    }
    // Types a character before the first line's text, then ^X (exit), which
    // asks whether to write the file.
    static void change_and_exit(pty_terminal &t, const std::string &fn, const std::string &first) {
        t.type("x");
        ASSERT_TRUE(t.wait_text("x" + first));
        t.type("\x18");
        ASSERT_TRUE(t.wait_row(2, fn + " not written, write: yes no"));
    }

    scratch_folder files;
};

TEST_F(ExitOnTerminal, ExitWritesTheChangedFileKeepingItsBackupAndMode) {
    std::string fn = path("prog.c");
    put_file(fn, "first\nsecond\n", 0751);
    put_file(path("prog.bak"), "older backup\n");
    auto t = ox(fn);
    change_and_exit(*t, fn, "first");
    t->type("\r");
    ASSERT_TRUE(t->wait_exit(0));
    EXPECT_EQ(contents(fn), "xfirst\nsecond\n");
    EXPECT_EQ(perms(fn), 0751);
    EXPECT_EQ(contents(path("prog.bak")), "first\nsecond\n");
    EXPECT_EQ(files.names(), (names{"prog.c", "prog.bak", "test.ini"}));
}

TEST_F(ExitOnTerminal, DecliningTheQuestionsAndAborting) {
    std::string fn = path("notes");
    put_file(fn, "text\n");
    auto t = ox(fn);
    t->type("\x05"); // other_exit ?
    ASSERT_TRUE(t->wait_row(2, "sure: yes no"));
    t->type("n\r");
    change_and_exit(*t, fn, "text");
    t->type("\x1b");
    ASSERT_TRUE(t->wait_row(2, "aborted"));
    ASSERT_TRUE(t->running());
    t->type("\x01"); // other_abort yes
    ASSERT_TRUE(t->wait_exit(1));
    EXPECT_EQ(contents(fn), "text\n");

    // No to the question ends the editor without writing.
    t = ox(fn);
    change_and_exit(*t, fn, "text");
    t->type("n\r");
    ASSERT_TRUE(t->wait_exit(0));
    EXPECT_EQ(contents(fn), "text\n");
    EXPECT_EQ(files.names(), (names{"notes", "test.ini"}));
}

TEST_F(ExitOnTerminal, AReadOnlyFileIsOverwrittenOnlyWhenTheUserAgrees) {
    std::string fn = path("ro.txt");
    put_file(fn, "locked\n", 0444);
    auto t = ox(fn, "warning: readonly file " + fn);
    for (const char *answer : {"n\r", "\r"}) {
        change_and_exit(*t, fn, answer[0] == 'n' ? "locked" : "xlocked");
        t->type("\r");
        ASSERT_TRUE(t->wait_row(2, fn + " readonly, overwrite: yes no"));
        t->type(answer);
    }
    ASSERT_TRUE(t->wait_exit(0));
    EXPECT_EQ(contents(fn), "xxlocked\n");
    EXPECT_EQ(perms(fn), 0444);
    EXPECT_EQ(contents(path("ro.bak")), "locked\n");
}

TEST_F(ExitOnTerminal, WithBackupsOffTheFileIsReplaced) {
    std::string fn = path("plain.c");
    put_file(fn, "old\n", 0600);
    put_file(path("plain.bak"), "kept\n");
    auto t = ox(fn);
    t->type("\x02"); // other_backups no
    ASSERT_TRUE(t->wait_row(2, "backups disabled"));
    change_and_exit(*t, fn, "old");
    t->type("\r");
    ASSERT_TRUE(t->wait_exit(0));
    EXPECT_EQ(contents(fn), "xold\n");
    EXPECT_EQ(perms(fn), 0600);
    EXPECT_EQ(contents(path("plain.bak")), "kept\n");
}

TEST_F(ExitOnTerminal, AWriteThatFailsKeepsTheEditorTheTextAndTheFile) {
    std::string fn = path("big.txt"), text;
    for (int i = 0; i < 40; i++) text += "line " + std::to_string(i) + " of a file too big\n";
    put_file(fn, text, 0640);
    std::unique_ptr<pty_terminal> t;
    {
        file_size_limit limit(1000); // the editor keeps it
        t = ox(fn);
    }
    change_and_exit(*t, fn, "line 0 of");
    t->type("\r");
    ASSERT_TRUE(t->wait_row(2, "can't write " + fn));
    EXPECT_EQ(contents(fn), text);
    EXPECT_EQ(perms(fn), 0640);
    EXPECT_EQ(files.names(), (names{"big.txt", "test.ini"}));
    t->type("y");
    ASSERT_TRUE(t->wait_text("xyline 0 of"));
    t->type("\x01");
    ASSERT_TRUE(t->wait_exit(1));
    EXPECT_EQ(contents(fn), text);
}

TEST_F(ExitOnTerminal, AfterItsFolderVanishedAFileIsWrittenOnceItIsBack) {
    std::filesystem::create_directory(path("sub"));
    std::string fn = path("sub/f.c");
    put_file(fn, "body\n");
    auto t = ox(fn);
    std::filesystem::remove_all(path("sub"));
    change_and_exit(*t, fn, "body");
    t->type("\r");
    ASSERT_TRUE(t->wait_row(2, "can't write " + fn));
    std::filesystem::create_directory(path("sub"));
    t->type("\x18");
    ASSERT_TRUE(t->wait_row(2, fn + " not written, write: yes no"));
    t->type("\r");
    ASSERT_TRUE(t->wait_exit(0));
    EXPECT_EQ(contents(fn), "xbody\n");
}

} // namespace
