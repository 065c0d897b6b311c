// Leaving the editor, through the real program in a terminal: the questions,
// the files written with their backups and modes, writes that fail, and the
// exit statuses.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "e2e/pty_terminal.h"

namespace {

namespace fs = std::filesystem;
using e2e::pty_terminal;

const char *const ini_text = "key_bind \"^X\" \"other_exit yes\"\n"
                             "key_bind \"^E\" \"other_exit ?\"\n"
                             "key_bind \"^A\" \"other_abort yes\"\n"
                             "key_bind \"^B\" \"other_backups no\"\n";

class ExitOnTerminal : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/ox_exitXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        put(path("test.ini"), ini_text);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string &base) const { return dir + "/" + base; }
    static void put(const std::string &name, const std::string &text, int mode = 0644) {
        std::ofstream(name, std::ios::binary) << text;
        chmod(name.c_str(), mode);
    }
    static std::string contents(const std::string &name) {
        std::ifstream in(name, std::ios::binary);
        if (!in) return "<missing>";
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static int perms(const std::string &name) {
        struct stat st;
        return stat(name.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
    }
    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto &e : fs::directory_iterator(dir)) names.insert(e.path().filename());
        return names;
    }
    // ox on the files with the test's bindings.
    std::vector<std::string> ox(std::vector<std::string> files) const {
        files.insert(files.begin(), {OX_PROGRAM, "-i", path("test.ini")});
        return files;
    }
    // Waits for the editor to be ready, then types a character into the
    // first line of the file shown.
    static void type_x(pty_terminal &t, const std::string &first_line) {
        ASSERT_TRUE(t.wait_text("Birch Editor for"));
        t.type("x");
        ASSERT_TRUE(t.wait_text("x" + first_line));
    }

    std::string dir;
};

TEST_F(ExitOnTerminal, ExitWritesTheChangedFileKeepingItsBackupAndMode) {
    std::string fn = path("prog.c");
    put(fn, "first\nsecond\n", 0751);
    put(path("prog.bak"), "older backup\n");
    pty_terminal t(ox({fn}));
    type_x(t, "first");
    t.type("\x18"); // ^X
    ASSERT_TRUE(t.wait_row(2, fn + " not written, write: yes no"));
    t.type("\r");
    ASSERT_TRUE(t.wait_exit(0));
    EXPECT_EQ(contents(fn), "xfirst\nsecond\n");
    EXPECT_EQ(perms(fn), 0751);
    EXPECT_EQ(contents(path("prog.bak")), "first\nsecond\n");
    EXPECT_EQ(listing(), (std::set<std::string>{"prog.c", "prog.bak", "test.ini"}));
}

TEST_F(ExitOnTerminal, DecliningTheQuestionsAndAborting) {
    std::string fn = path("notes");
    put(fn, "text\n");
    pty_terminal t(ox({fn}));
    type_x(t, "text");

    t.type("\x05"); // ^E: other_exit ?
    ASSERT_TRUE(t.wait_row(2, "sure: yes no"));
    t.type("n\r");
    t.type("\x18");
    ASSERT_TRUE(t.wait_row(2, fn + " not written, write: yes no"));
    t.type("\x1b"); // Escape: the exit is abandoned
    ASSERT_TRUE(t.wait_row(2, "aborted"));
    ASSERT_TRUE(t.running());

    t.type("\x01"); // ^A
    ASSERT_TRUE(t.wait_exit(1));
    EXPECT_EQ(contents(fn), "text\n");
    EXPECT_EQ(listing(), (std::set<std::string>{"notes", "test.ini"}));

    // Answering no leaves the file as it was and ends the editor.
    pty_terminal t2(ox({fn}));
    type_x(t2, "text");
    t2.type("\x18");
    ASSERT_TRUE(t2.wait_row(2, fn + " not written, write: yes no"));
    t2.type("n\r");
    ASSERT_TRUE(t2.wait_exit(0));
    EXPECT_EQ(contents(fn), "text\n");
    EXPECT_EQ(listing(), (std::set<std::string>{"notes", "test.ini"}));
}

TEST_F(ExitOnTerminal, AReadOnlyFileIsOverwrittenOnlyWhenTheUserAgrees) {
    std::string fn = path("ro.txt");
    put(fn, "locked\n", 0444);
    pty_terminal t(ox({fn}));
    ASSERT_TRUE(t.wait_row(2, "warning: readonly file " + fn));
    t.type(" ");
    type_x(t, "locked");

    t.type("\x18");
    ASSERT_TRUE(t.wait_row(2, fn + " not written, write: yes no"));
    t.type("\r");
    ASSERT_TRUE(t.wait_row(2, fn + " readonly, overwrite: yes no"));
    t.type("n\r");
    ASSERT_TRUE(t.wait_row(2, "aborted"));
    EXPECT_EQ(contents(fn), "locked\n");

    t.type("\x18");
    ASSERT_TRUE(t.wait_row(2, fn + " not written, write: yes no"));
    t.type("\r");
    ASSERT_TRUE(t.wait_row(2, fn + " readonly, overwrite: yes no"));
    t.type("\r");
    ASSERT_TRUE(t.wait_exit(0));
    EXPECT_EQ(contents(fn), "xlocked\n");
    EXPECT_EQ(perms(fn), 0444);
    EXPECT_EQ(contents(path("ro.bak")), "locked\n");
}

TEST_F(ExitOnTerminal, WithBackupsOffTheFileIsReplaced) {
    std::string fn = path("plain.c");
    put(fn, "old\n", 0600);
    put(path("plain.bak"), "kept\n");
    pty_terminal t(ox({fn}));
    type_x(t, "old");
    t.type("\x02"); // ^B
    ASSERT_TRUE(t.wait_row(2, "backups disabled"));
    t.type("\x18");
    ASSERT_TRUE(t.wait_row(2, fn + " not written, write: yes no"));
    t.type("\r");
    ASSERT_TRUE(t.wait_exit(0));
    EXPECT_EQ(contents(fn), "xold\n");
    EXPECT_EQ(perms(fn), 0600);
    EXPECT_EQ(contents(path("plain.bak")), "kept\n");
}

// The editor starts with writes to files limited to 1000 bytes, and SIGXFSZ
// ignored so that such a write fails instead of ending it.
class size_limited_start {
  public:
    size_limited_start() {
        getrlimit(RLIMIT_FSIZE, &saved_);
        old_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = saved_;
        lim.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~size_limited_start() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, old_);
    }

  private:
    rlimit saved_{};
    void (*old_)(int);
};

TEST_F(ExitOnTerminal, AWriteThatFailsKeepsTheEditorAndTheFile) {
    std::string fn = path("big.txt"), text;
    for (int i = 0; i < 40; i++)
        text += "line " + std::to_string(i) + " of a file too big to write\n";
    put(fn, text, 0640);
    std::unique_ptr<pty_terminal> t;
    {
        size_limited_start limit;
        t = std::make_unique<pty_terminal>(ox({fn}));
    }
    type_x(*t, "line 0 of");
    t->type("\x18");
    ASSERT_TRUE(t->wait_row(2, fn + " not written, write: yes no"));
    t->type("\r");
    ASSERT_TRUE(t->wait_row(2, "can't write " + fn));
    ASSERT_TRUE(t->running());
    EXPECT_EQ(contents(fn), text);
    EXPECT_EQ(perms(fn), 0640);
    EXPECT_EQ(listing(), (std::set<std::string>{"big.txt", "test.ini"}));

    // The text is still there, changed, and the editor still takes keys.
    t->type("y");
    ASSERT_TRUE(t->wait_text("xyline 0 of"));
    t->type("\x01");
    ASSERT_TRUE(t->wait_exit(1));
    EXPECT_EQ(contents(fn), text);
}

TEST_F(ExitOnTerminal, AfterItsFolderVanishedAFileIsWrittenOnceItIsBack) {
    fs::create_directory(path("sub"));
    std::string fn = path("sub/f.c");
    put(fn, "body\n");
    pty_terminal t(ox({fn}));
    type_x(t, "body");
    fs::remove_all(path("sub"));

    t.type("\x18");
    ASSERT_TRUE(t.wait_row(2, fn + " not written, write: yes no"));
    t.type("\r");
    ASSERT_TRUE(t.wait_row(2, "can't write " + fn));
    ASSERT_TRUE(t.running());

    fs::create_directory(path("sub"));
    t.type("\x18");
    ASSERT_TRUE(t.wait_row(2, fn + " not written, write: yes no"));
    t.type("\r");
    ASSERT_TRUE(t.wait_exit(0));
    EXPECT_EQ(contents(fn), "xbody\n");
    EXPECT_FALSE(fs::exists(path("sub/f.bak")));
}

} // namespace
