// Writing buffers back without a terminal: the paths that ask nothing, the
// backup by its names and modes, and writes that fail part way.
#include "commands_owner.h"

#include "commands/executor.h"
#include "commands/write_back.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A write to a regular file past `bytes` fails with EFBIG instead of raising
// SIGXFSZ, until the guard goes.
class file_size_limit {
  public:
    explicit file_size_limit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = saved_;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, old_handler_);
    }

  private:
    rlimit saved_{};
    void (*old_handler_)(int);
};

class WriteBack : public CommandsTest {
  protected:
    void SetUp() override {
        CommandsTest::SetUp();
        char pattern[] = "/tmp/ox_wbXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        backups = 1;
        ret_code = 0;
    }
    void TearDown() override {
        backups = 1;
        ret_code = 0;
        fs::remove_all(dir);
        CommandsTest::TearDown();
    }

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
    // The names in the test's folder, to see that no stray file is left.
    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto &e : fs::directory_iterator(dir)) names.insert(e.path().filename());
        return names;
    }

    // A changed buffer for the file holding the lines.
    BUFF *buffer(const std::string &fn, std::initializer_list<std::string> lines) {
        BUFF *b = buff_create(fn.c_str(), -1, top);
        EXPECT_NE(b, nullptr);
        for (const std::string &text : lines) {
            line_insert(line_create_text(text.c_str()), b->top);
            line_step_next(b->top);
        }
        line_step_first(b->top);
        b->changed = 1;
        return b;
    }
    // A changed buffer of n lines of 99 bytes and their newlines.
    BUFF *big_buffer(const std::string &fn, int n) {
        BUFF *b = buffer(fn, {});
        std::string line(99, 'x');
        for (int i = 0; i < n; i++) {
            line_insert(line_create_text(line.c_str()), b->top);
            line_step_next(b->top);
        }
        return b;
    }

    std::string dir;
};

TEST_F(WriteBack, QuestionsNotAskedForUnchangedUnnamedOrForcedBuffers) {
    BUFF *named = buffer(path("a.c"), {"x"});
    named->changed = 0;
    EXPECT_EQ(query_write(named, 0), 0);
    EXPECT_EQ(query_write(named, 1), 0) << "force writes only what changed";
    named->changed = 1;
    EXPECT_EQ(query_write(named, 1), 1);
    EXPECT_EQ(query_write(cur_buffer, 0), 0) << "unchanged first buffer";
    cur_buffer->changed = 1;
    EXPECT_EQ(query_write(cur_buffer, 0), 0) << "a buffer without a name is never offered";
    EXPECT_EQ(query_write(cur_buffer, 1), 1);

    put(path("w.c"), "w\n", 0644);
    EXPECT_EQ(error_of([&] { query_readonly(path("w.c").c_str()); }), "");
    EXPECT_EQ(error_of([&] { query_readonly(path("none.c").c_str()); }), "");
}

TEST_F(WriteBack, BackupNamesAndModes) {
    const struct {
        const char *file, *backup;
    } cases[] = {
        {"prog.c", "prog.bak"}, {"notes", "notes.bak"}, {".profile", ".profile.bak"},
        {"a.b.c", "a.b.bak"},   {"x.y/z", "x.y/z.bak"}, // a dot in a folder's name is no extension
    };
    fs::create_directory(path("x.y"));
    int mode = 0640;
    for (const auto &c : cases) {
        put(path(c.file), c.file, mode);
        put(path(c.backup), "older backup");
        EXPECT_EQ(take_backup(path(c.file).c_str()), S_IFREG | mode) << c.file;
        EXPECT_EQ(contents(path(c.file)), "<missing>") << c.file;
        EXPECT_EQ(contents(path(c.backup)), c.file) << c.file;
        mode ^= 0111;
    }

    put(path("old.bak"), "a backup");
    EXPECT_EQ(take_backup(path("old.bak").c_str()), S_IFREG | 0644) << "backups get no backup";
    EXPECT_EQ(contents(path("old.bak")), "a backup");

    EXPECT_EQ(take_backup(path("missing.c").c_str()), -1);
    fs::create_directory(path("folder.c"));
    EXPECT_EQ(take_backup(path("folder.c").c_str()), -1);
    EXPECT_TRUE(fs::is_directory(path("folder.c")));
    EXPECT_FALSE(fs::exists(path("folder.bak")));

    backups = 0;
    put(path("kept.c"), "kept", 0600);
    EXPECT_EQ(take_backup(path("kept.c").c_str()), S_IFREG | 0600);
    EXPECT_EQ(contents(path("kept.c")), "kept");
    EXPECT_FALSE(fs::exists(path("kept.bak")));
}

TEST_F(WriteBack, ABackupThatCannotBeMadeLeavesTheFile) {
    put(path("p.c"), "old\n");
    fs::create_directory(path("p.bak"));
    EXPECT_EQ(error_of([&] { take_backup(path("p.c").c_str()); }),
              "could not take backup of " + path("p.c"));
    EXPECT_EQ(contents(path("p.c")), "old\n");

    BUFF *b = buffer(path("p.c"), {"new"});
    EXPECT_EQ(error_of([&] { write_back(b, 0); }), "could not take backup of " + path("p.c"));
    EXPECT_EQ(contents(path("p.c")), "old\n");
    EXPECT_EQ(b->changed, 1);
    EXPECT_EQ(listing(), (std::set<std::string>{"p.c", "p.bak"}));
}

TEST_F(WriteBack, WritingKeepsTheOldFileAsBackupWithItsMode) {
    put(path("m.c"), "one\ntwo\n", 04751);
    put(path("m.bak"), "an older backup\n");
    BUFF *b = buffer(path("m.c"), {"three", "four"});
    EXPECT_EQ(error_of([&] { write_back(b, 0); }), "");
    EXPECT_EQ(contents(path("m.c")), "three\nfour\n");
    EXPECT_EQ(perms(path("m.c")), 04751);
    EXPECT_EQ(contents(path("m.bak")), "one\ntwo\n");
    EXPECT_EQ(b->changed, 0);
    EXPECT_EQ(listing(), (std::set<std::string>{"m.c", "m.bak"}));

    // Without backups the file is replaced and an earlier backup left alone.
    backups = 0;
    b->changed = 1;
    chmod(path("m.c").c_str(), 0604);
    EXPECT_EQ(error_of([&] { write_back(b, 0); }), "");
    EXPECT_EQ(contents(path("m.c")), "three\nfour\n");
    EXPECT_EQ(perms(path("m.c")), 0604);
    EXPECT_EQ(contents(path("m.bak")), "one\ntwo\n");
}

TEST_F(WriteBack, ANewFileGetsTheModeOfAnyNewFile) {
    mode_t mask = umask(027);
    BUFF *b = buffer(path("new.txt"), {"hello"});
    std::string error = error_of([&] { write_back(b, 0); });
    umask(mask);
    EXPECT_EQ(error, "");
    EXPECT_EQ(contents(path("new.txt")), "hello\n");
    EXPECT_EQ(perms(path("new.txt")), 0640);
    EXPECT_EQ(listing(), (std::set<std::string>{"new.txt"}));
}

TEST_F(WriteBack, AppendingKeepsTheOldContentsInPlace) {
    put(path("log"), "first\n", 0600);
    BUFF *b = buffer(path("log"), {"second"});
    EXPECT_EQ(error_of([&] { write_back(b, WB_APPEND); }), "");
    EXPECT_EQ(contents(path("log")), "first\nsecond\n");
    EXPECT_EQ(perms(path("log")), 0600);
    EXPECT_EQ(contents(path("log.bak")), "first\n");

    BUFF *fresh = buffer(path("fresh"), {"only"});
    EXPECT_EQ(error_of([&] { write_back(fresh, WB_APPEND); }), "");
    EXPECT_EQ(contents(path("fresh")), "only\n");
}

// A write that fails part way, whether backups are on or off, leaves the file
// and its backup as they were and the buffer changed; once the write can
// succeed the backup is still the file as it was before any attempt.
TEST_F(WriteBack, AFailedWriteChangesNoFile) {
    for (int on : {1, 0}) {
        SCOPED_TRACE(on ? "backups on" : "backups off");
        backups = on;
        std::string fn = path(on ? "big.c" : "big2.c"), bak = path(on ? "big.bak" : "big2.bak");
        put(fn, "original\n", 0640);
        put(bak, "backup\n");
        BUFF *b = big_buffer(fn, 1000);
        for (int attempt = 0; attempt < 2; attempt++) {
            file_size_limit limit(20000);
            EXPECT_EQ(error_of([&] { write_back(b, 0); }), "can't write " + fn);
        }
        EXPECT_EQ(contents(fn), "original\n");
        EXPECT_EQ(perms(fn), 0640);
        EXPECT_EQ(contents(bak), "backup\n");
        EXPECT_EQ(b->changed, 1);
        EXPECT_EQ(b->top->line_count, 1001) << "the text stays";
        EXPECT_EQ(error_of([&] { write_back(b, 0); }), "");
        EXPECT_EQ(contents(fn).size(), 100000u);
        EXPECT_EQ(contents(bak), on ? "original\n" : "backup\n");
        EXPECT_EQ(b->changed, 0);
    }
    EXPECT_EQ(listing(), (std::set<std::string>{"big.c", "big.bak", "big2.c", "big2.bak"}));
}

TEST_F(WriteBack, AFolderGoneOrInTheFilesPlace) {
    fs::create_directory(path("sub"));
    BUFF *gone = buffer(path("sub/g.c"), {"text"});
    fs::remove(path("sub"));
    EXPECT_EQ(error_of([&] { write_back(gone, 0); }), "can't write " + path("sub/g.c"));
    EXPECT_EQ(gone->changed, 1);

    put(path("d.c"), "was a file\n");
    BUFF *b = buffer(path("d.c"), {"text"});
    fs::remove(path("d.c"));
    fs::create_directory(path("d.c"));
    EXPECT_EQ(error_of([&] { write_back(b, 0); }), "can't write " + path("d.c"));
    EXPECT_TRUE(fs::is_directory(path("d.c")));
    EXPECT_EQ(b->changed, 1);
    EXPECT_EQ(listing(), (std::set<std::string>{"d.c"}));
}

using OtherCommands = WriteBack;

TEST_F(OtherCommands, ExitAndAbortWithNothingToAsk) {
    put(path("u.c"), "unchanged\n");
    BUFF *unchanged = buffer(path("u.c"), {"in memory"});
    unchanged->changed = 0;
    cur_buffer->changed = 1; // unnamed: its contents are not offered

    EXPECT_EQ(exec_commands("other_exit no"), 1);
    EXPECT_EQ(exit_flag, 0);
    EXPECT_EQ(exec_commands("other_abort no"), 1);
    EXPECT_EQ(exit_flag, 0);

    EXPECT_EQ(exec_commands("other_exit yes other_abort yes"), 1);
    EXPECT_EQ(exit_flag, 1);
    EXPECT_EQ(ret_code, 0) << "nothing runs after the exit";
    EXPECT_EQ(contents(path("u.c")), "unchanged\n");
    EXPECT_EQ(listing(), (std::set<std::string>{"u.c"}));

    exit_flag = 0;
    unchanged->changed = 1;
    EXPECT_EQ(exec_commands("other_abort yes"), 1);
    EXPECT_EQ(exit_flag, 1);
    EXPECT_EQ(ret_code, 1);
    EXPECT_EQ(contents(path("u.c")), "unchanged\n");
}

TEST_F(OtherCommands, BackupsSwitch) {
    put(path("s.c"), "old\n");
    EXPECT_EQ(exec_commands("other_backups no"), 1);
    EXPECT_EQ(backups, 0);
    EXPECT_EQ(take_backup(path("s.c").c_str()), S_IFREG | 0644);
    EXPECT_FALSE(fs::exists(path("s.bak")));
    EXPECT_EQ(exec_commands("other_backups yes"), 1);
    EXPECT_EQ(backups, 1);
    take_backup(path("s.c").c_str());
    EXPECT_EQ(contents(path("s.bak")), "old\n");
}

} // namespace
