// Writing buffers back without a terminal: the paths that ask nothing, the
// backup by its names and modes, and writes that fail part way.
#include "commands_owner.h"
#include "scratch_files.h"

#include "commands/executor.h"
#include "commands/write_back.h"

#include <string>

namespace {

namespace fs = std::filesystem;
using names = std::set<std::string>;

class WriteBack : public CommandsTest {
  protected:
    void TearDown() override {
        backups = 1;
        ret_code = 0;
        CommandsTest::TearDown();
    }
    std::string path(const std::string &base) const { return files.path(base); }

    // A changed buffer for the file, holding the lines.
    BUFF *buffer(const std::string &fn, std::initializer_list<std::string> lines, int repeat = 1) {
        BUFF *b = buff_create(fn.c_str(), -1, top);
        EXPECT_NE(b, nullptr);
        for (int i = 0; i < repeat; i++) {
            for (const std::string &text : lines) {
                line_insert(line_create_text(text.c_str()), b->top);
                line_step_next(b->top);
            }
        }
        line_step_first(b->top);
        b->changed = 1;
        return b;
    }
    std::string write_error(BUFF *b, int how = 0) {
        return error_of([&] { write_back(b, how); });
    }

    scratch_folder files;
};

TEST_F(WriteBack, WhatIsOfferedWithoutAQuestion) {
    BUFF *named = buffer(path("a.c"), {"x"});
    named->changed = 0;
    EXPECT_EQ(query_write(named, 1), 0) << "force writes only what changed";
    named->changed = 1;
    EXPECT_EQ(query_write(named, 1), 1);
    cur_buffer->changed = 1;
    EXPECT_EQ(query_write(cur_buffer, 0), 0) << "a buffer without a name is never offered";
}

TEST_F(WriteBack, BackupNamesAndModes) {
    const struct {
        const char *file, *backup;
        int mode;
    } cases[] = {
        {"prog.c", "prog.bak", 0640},       {"notes", "notes.bak", 04751},
        {".profile", ".profile.bak", 0600}, {"a.b.c", "a.b.bak", 0444},
        {"x.y/z", "x.y/z.bak", 0644}, // a dot in a folder's name is no extension
    };
    fs::create_directory(path("x.y"));
    for (const auto &c : cases) {
        put_file(path(c.file), c.file, c.mode);
        put_file(path(c.backup), "older backup");
        EXPECT_EQ(take_backup(path(c.file).c_str()), S_IFREG | c.mode) << c.file;
        EXPECT_EQ(contents(path(c.file)), "<missing>") << c.file;
        EXPECT_EQ(contents(path(c.backup)), c.file) << c.file;
    }
    put_file(path("old.bak"), "a backup");
    EXPECT_EQ(take_backup(path("old.bak").c_str()), S_IFREG | 0644) << "backups get no backup";
    EXPECT_EQ(contents(path("old.bak")), "a backup");
    fs::create_directory(path("folder.c"));
    EXPECT_EQ(take_backup(path("folder.c").c_str()), -1);
    EXPECT_EQ(take_backup(path("missing.c").c_str()), -1);

    ASSERT_EQ(exec_commands("other_backups no"), 1);
    put_file(path("kept.c"), "kept", 0600);
    EXPECT_EQ(take_backup(path("kept.c").c_str()), S_IFREG | 0600);
    EXPECT_EQ(contents(path("kept.c")), "kept");
    EXPECT_FALSE(fs::exists(path("kept.bak")));
}

TEST_F(WriteBack, WritingKeepsTheOldFileAsBackupWithItsMode) {
    put_file(path("m.c"), "one\ntwo\n", 04751);
    put_file(path("m.bak"), "older\n");
    BUFF *b = buffer(path("m.c"), {"three", "four"});
    EXPECT_EQ(write_error(b), "");
    EXPECT_EQ(contents(path("m.c")), "three\nfour\n");
    EXPECT_EQ(perms(path("m.c")), 04751);
    EXPECT_EQ(contents(path("m.bak")), "one\ntwo\n");
    EXPECT_EQ(b->changed, 0);

    // Without backups the file is replaced and an earlier backup left alone.
    backups = 0;
    b->changed = 1;
    chmod(path("m.c").c_str(), 0604);
    EXPECT_EQ(write_error(b), "");
    EXPECT_EQ(perms(path("m.c")), 0604);
    EXPECT_EQ(contents(path("m.bak")), "one\ntwo\n");

    mode_t mask = umask(027);
    BUFF *fresh = buffer(path("new.txt"), {"hello"});
    std::string error = write_error(fresh);
    umask(mask);
    EXPECT_EQ(error, "");
    EXPECT_EQ(perms(path("new.txt")), 0640) << "the mode of any new file";

    // Appending keeps the old contents in place.
    backups = 1;
    put_file(path("log"), "first\n", 0600);
    EXPECT_EQ(write_error(buffer(path("log"), {"second"}), WB_APPEND), "");
    EXPECT_EQ(contents(path("log")), "first\nsecond\n");
    EXPECT_EQ(perms(path("log")), 0600);
    EXPECT_EQ(contents(path("log.bak")), "first\n");
    EXPECT_EQ(files.names(), (names{"m.c", "m.bak", "new.txt", "log", "log.bak"}));
}

// A write that fails part way, whether backups are on or off, leaves the file
// and its backup as they were and the buffer changed; once the write can
// succeed the backup is still the file as it was before any attempt.
TEST_F(WriteBack, AFailedWriteChangesNoFile) {
    for (int on : {1, 0}) {
        SCOPED_TRACE(on ? "backups on" : "backups off");
        backups = on;
        std::string fn = path(on ? "on.c" : "off.c"), bak = path(on ? "on.bak" : "off.bak");
        put_file(fn, "original\n", 0640);
        put_file(bak, "backup\n");
        BUFF *b = buffer(fn, {std::string(99, 'x')}, 1000);
        for (int attempt = 0; attempt < 2; attempt++) {
            file_size_limit limit(20000);
            EXPECT_EQ(write_error(b), "can't write " + fn);
        }
        EXPECT_EQ(contents(fn), "original\n");
        EXPECT_EQ(perms(fn), 0640);
        EXPECT_EQ(contents(bak), "backup\n");
        EXPECT_EQ(b->changed, 1);
        EXPECT_EQ(b->top->line_count, 1001) << "the text stays";
        EXPECT_EQ(write_error(b), "");
        EXPECT_EQ(contents(fn).size(), 100000u);
        EXPECT_EQ(contents(bak), on ? "original\n" : "backup\n");
    }
    EXPECT_EQ(files.names(), (names{"on.c", "on.bak", "off.c", "off.bak"}));
}

TEST_F(WriteBack, NoPlaceToWriteOrToKeepTheBackup) {
    fs::create_directory(path("sub"));
    BUFF *gone = buffer(path("sub/g.c"), {"text"});
    fs::remove(path("sub"));
    EXPECT_EQ(write_error(gone), "can't write " + path("sub/g.c"));

    BUFF *b = buffer(path("d.c"), {"text"});
    fs::create_directory(path("d.c"));
    EXPECT_EQ(write_error(b), "can't write " + path("d.c"));
    EXPECT_TRUE(fs::is_directory(path("d.c")));

    put_file(path("p.c"), "old\n");
    fs::create_directory(path("p.bak"));
    BUFF *p = buffer(path("p.c"), {"new"});
    EXPECT_EQ(write_error(p), "could not take backup of " + path("p.c"));
    EXPECT_EQ(contents(path("p.c")), "old\n");
    EXPECT_EQ(gone->changed + b->changed + p->changed, 3);
    EXPECT_EQ(files.names(), (names{"d.c", "p.c", "p.bak"}));
}

TEST_F(WriteBack, ExitAndAbortWithNothingToAsk) {
    put_file(path("u.c"), "unchanged\n");
    BUFF *unchanged = buffer(path("u.c"), {"in memory"});
    unchanged->changed = 0;
    cur_buffer->changed = 1; // unnamed: its contents are not offered

    EXPECT_EQ(exec_commands("other_exit no other_abort no"), 1);
    EXPECT_EQ(exit_flag, 0);
    EXPECT_EQ(exec_commands("other_exit yes other_abort yes"), 1);
    EXPECT_EQ(exit_flag, 1);
    EXPECT_EQ(ret_code, 0) << "nothing runs after the exit";
    EXPECT_EQ(contents(path("u.c")), "unchanged\n");
    EXPECT_EQ(files.names(), (names{"u.c"}));
}

} // namespace
