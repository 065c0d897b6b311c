// Every way ox writes a file, in every place the file can be, against every
// failure. Each cell runs in a child process, which sets the buffers up,
// makes the host's Nth write call fail with "no space" or kills itself there
// (host/write_calls.h), runs the command that writes and reports how it went.
// Then every file must hold exactly what it held before or exactly what the
// same write without a failure leaves; only a temporary file named after the
// file may stay, after a kill or a removal that failed.
#include "commands/errors.h"
#include "commands/executor.h"
#include "commands/write_back.h"
#include "display/keyboard.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "host/hangup.h"
#include "host/mdep.h"
#include "host/write_calls.h"
#include "main/emergency.h"
#include "support/scratch.h"

#include <grp.h>
#include <sys/mman.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <map>
#include <regex>

namespace {

namespace fs = std::filesystem;
using file_map = std::map<std::string, std::string>;

const std::string old_text = "old line 1\nold line 2\nold line 3\n",
                  typed = " string_insert \"" + std::string(150, 't') + "\"",
                  opened = "buffer_create \"F\" yes yes" + typed,
                  marked = typed + " block_mark_1 line_down block_mark_2";

// How the buffers are set up ("F" stands for the file's name; "<" first puts
// a virtual fold line naming it in the first buffer) and the command that
// writes ("" for the emergency save).
const std::pair<std::string, std::string> paths[] = {
    {opened, "other_exit yes"},
    {opened, "buffer_write . no"},
    {opened, "buffer_write . yes"},
    {opened + " buffer_create \"\" no yes", "buffer_delete \"F\""},
    {marked, "block_write \"F\" no"},
    {marked, "block_write \"F\" yes"},
    {"<fold_in" + typed, "fold_out"},
    {"<", "search_replace \"old\" \"newer and longer\" yes no always always yes 0 no"},
    {opened, ""}};

enum placement { BESIDE, SYMLINK, HARD_LINK, NO_NEW_FILE }; // the last two written in place
const char *const placements[] = {"beside", "symlink", "hard link", "no new file"};
enum failure { NONE, NO_SPACE, KILL, SIZE_LIMIT, VANISHED };
const char *const failures[] = {"none", "no space", "kill", "size limit", "vanished"};

// The cell's failure, and what the child tells the parent, in memory both share.
struct report {
    failure failing;
    int fail_at, calls, ok, changed;
    bool unlink_failed;
    char error[100];
} *const shared = static_cast<report *>(
    mmap(nullptr, sizeof(report), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));

int write_fault(const char *call) {
    if (++shared->calls == 1 && shared->failing == VANISHED && // whoever ox runs as
        (seteuid(0) || !fs::remove_all("d") || seteuid(getuid())))
        _exit(3);
    if (shared->calls != shared->fail_at) return 0;
    if (shared->failing == KILL) raise(SIGKILL);
    shared->unlink_failed = std::string(call) == "unlink";
    return ENOSPC;
}

class WriteMatrix : public ::testing::Test {
  protected:
    // Afresh: "d" holding a.txt (mode 0640, another owner) and an older
    // backup, with the placement's other names; "home" and "tmp" that anyone
    // may write to.
    void plant(placement where) {
        fs::permissions(root.path(), fs::perms(0755));
        for (const auto &e : fs::directory_iterator(root.path())) fs::remove_all(e.path());
        for (const char *dir : {"home", "tmp", "d"}) {
            fs::create_directory(root.path(dir));
            fs::permissions(root.path(dir), dir[0] == 'd' ? fs::perms(0755) : fs::perms::all);
        }
        test_support::write_file(target, old_text, 0640);
        test_support::write_file(root.path("d/a.bak"), "older\n");
        if (where == HARD_LINK) fs::create_hard_link(target, root.path("d/other.txt"));
        if (where == SYMLINK) fs::create_symlink("a.txt", root.path("d/link.txt"));
        int owner = where == NO_NEW_FILE ? 65534 : 1234;
        ASSERT_EQ(chown(target.c_str(), owner, owner), 0);
    }

    // Every file and link in the folder: its mode, owner and group, and its
    // bytes or where it leads.
    file_map files() const {
        file_map found;
        for (const auto &e : fs::recursive_directory_iterator(root.path())) {
            struct stat st {};
            if (lstat(e.path().c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
                found[e.path()] = std::to_string(st.st_mode) + " " + std::to_string(st.st_uid) +
                                  ":" + std::to_string(st.st_gid) + " " +
                                  (S_ISLNK(st.st_mode) ? fs::read_symlink(e.path()).string()
                                                       : test_support::read_file(e.path()));
        }
        return found;
    }

    [[noreturn]] void child(std::string setup, std::string command, placement where,
                            const std::string &fn) {
        for (std::string *text : {&setup, &command})
            *text = std::regex_replace(*text, std::regex("\"F\""), '"' + fn + '"');
        mdep_init();
        data_init();
        cur_buffer = buff_create("", -1, lang_create("top", "/*...", "*/", "", "_", 0x300));
        if (setup[0] == '<') line_insert(line_create_virt(fn.c_str(), 0, 0), cur_buffer->fold);
        if (!exec_commands(setup.c_str() + (setup[0] == '<'))) _exit(2);
        backups = where != NO_NEW_FILE;
        emergency_init(); // as ox starts: SIGXFSZ ignored, hang-ups saved
        rlimit limit{old_text.size() + 10, RLIM_INFINITY}; // the old text fits, no new one
        if ((shared->failing == SIZE_LIMIT && setrlimit(RLIMIT_FSIZE, &limit)) ||
            (where == NO_NEW_FILE &&
             (setgroups(0, nullptr) || setgid(65534) || setresuid(65534, 65534, 0))))
            _exit(3);
        th_key_script({'\r', '\r'});
        write_calls::set_fault(write_fault);
        if (command.empty()) raise(SIGHUP), hangup_poll(); // no way back
        shared->ok = exec_commands(command.c_str());
        std::snprintf(shared->error, sizeof shared->error, "%s", last_error());
        for (const text_buffer *b : buffs) shared->changed |= b && b->changed;
        _exit(0);
    }

    // One cell on the file fn (by default d/a.txt, or the link to it): the
    // files it leaves.
    file_map run(const std::pair<std::string, std::string> &path, placement where, failure how,
                 int n = 0, std::string fn = "") {
        *shared = {how, n, 0, 0, 0, false, ""};
        if (fn.empty()) fn = where == SYMLINK ? "d/link.txt" : "d/a.txt";
        const pid_t pid = fork();
        if (pid == 0) child(path.first, path.second, where, fn);
        int status = 0;
        waitpid(pid, &status, 0);
        killed = WIFSIGNALED(status);
        EXPECT_TRUE(killed || WEXITSTATUS(status) <= 1) << "child status " << status;
        return files();
    }

    // In memory where the host has such a folder: flushing there costs nothing.
    test_support::scratch_dir root{fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp"};
    test_support::working_dir here{root.path()};
    test_support::env_var home{"HOME", root.path("home")}, tmp{"TMPDIR", root.path("tmp")};
    const std::string target = root.path("d/a.txt");
    bool killed = false;
};

TEST_F(WriteMatrix, EveryWritePathLeavesEveryFileOldOrNewWhateverFails) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to write as another user";
    const std::regex temporary(".*/\\.[^/]+\\.ox[A-Za-z0-9]{6}");
    for (const auto &path : paths) {
        bool emergency = path.second.empty(), block = path.second.rfind("block", 0) == 0;
        for (placement where : {BESIDE, SYMLINK, HARD_LINK, NO_NEW_FILE}) {
            SCOPED_TRACE(path.second + ", " + placements[where]);
            plant(where);
            const file_map before = files();
            struct stat old {
            }, now{};
            stat(target.c_str(), &old);
            const file_map clean = run(path, where, NONE);
            const int calls = shared->calls;
            ASSERT_TRUE(emergency || (shared->ok && (block || !shared->changed)));
            ASSERT_NE(clean, before);
            stat(target.c_str(), &now);
            EXPECT_EQ(now.st_ino == old.st_ino, emergency || where >= HARD_LINK); // else beside
            std::string saved; // the emergency file's text
            for (const auto &[name, bytes] : clean)
                if (name.find(".save") != std::string::npos) saved = bytes;
            std::vector<std::pair<failure, int>> cases = {{SIZE_LIMIT, 0}, {VANISHED, 0}};
            for (int n = 1; n <= calls; n++) cases.insert(cases.end(), {{NO_SPACE, n}, {KILL, n}});
            for (auto [how, n] : cases) {
                SCOPED_TRACE(std::string(failures[how]) + " at call " + std::to_string(n));
                plant(where);
                const file_map after = run(path, where, how, n);
                for (const auto &[name, bytes] : after) {
                    bool temp = std::regex_match(name, temporary);
                    bool save = emergency && !temp && name.find(".save") != std::string::npos;
                    EXPECT_TRUE((before.count(name) && before.at(name) == bytes) ||
                                (clean.count(name) && clean.at(name) == bytes) ||
                                (save && bytes == saved) ||
                                ((killed || shared->unlink_failed) && temp))
                        << name << ": " << bytes;
                }
                for (const auto &[name, bytes] : before)
                    EXPECT_TRUE(after.count(name) || how == VANISHED) << name << " is gone";
                if (killed || emergency) continue;
                EXPECT_TRUE(shared->ok || shared->changed) << "a failed write leaves it changed";
                EXPECT_FALSE(shared->ok && (how == SIZE_LIMIT || how == VANISHED));
                EXPECT_TRUE(how == VANISHED ||
                            (after.count(target) &&
                             after.at(target) == (shared->ok ? clean : before).at(target)));
            }
        }
    }
}

// What is refused changes nothing, for ox run as an ordinary user too: a
// block onto a named pipe or a device, however its name is spelt, or through
// a link to one or a loop of links; a file in a folder that takes no new file
// while backups are on; a file that was not read as it is, where Return
// answers the question before it is written over.
TEST_F(WriteMatrix, RefusalsChangeNothing) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to write as another user";
    const std::tuple<std::string, std::string, std::string, std::string> rows[] = {
        {"d/pipe", "", "block_write \"F\" no", "can't write d/pipe"},
        {"d/./null", "", "block_write \"F\" yes", "can't write d/./null"},
        {"d//null", "", "block_write \"F\" no", "can't write d//null"},
        {"d/../d/null", "", "block_write \"F\" no", "can't write d/../d/null"},
        {"d/to-null", "", "block_write \"F\" no", "can't write d/to-null"},
        {"d/loop", "", "block_write \"F\" no", "can't write d/loop"},
        {"", old_text, "other_backups yes buffer_write . no", "could not take backup of d/a.txt"},
        {"", std::string("a\0b\n", 4), "buffer_write . no", "aborted"},
        {"", "a\n" + std::string(600, 'x') + "\n", "other_exit yes", "aborted"},
    };
    for (const auto &[fn, text, command, message] : rows) {
        SCOPED_TRACE(fn + " " + command);
        const placement where = text.empty() ? BESIDE : NO_NEW_FILE; // blocks as root
        plant(where);
        test_support::write_file(target, text);
        ASSERT_EQ(mkfifo(root.path("d/pipe").c_str(), 0644), 0);
        ASSERT_EQ(mknod(root.path("d/null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
        fs::create_symlink("../d/null", root.path("d/to-null"));
        fs::create_symlink("loop", root.path("d/loop"));
        const file_map before = files(); // pipe and device as they are: missing here
        EXPECT_EQ(run({text.empty() ? marked : opened, command}, where, NONE, 0, fn), before);
        EXPECT_EQ(shared->error, message);
    }
}

} // namespace
