// Writing files back through a real terminal: links, owners and modes, a
// folder that takes no new file, a file-size limit, files whose structure is
// corrupt or whose lines do not come back as they were read.
#include "main/ox_session.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace {

using names = std::set<std::string>;
using test_support::permissions;

// ox with the keys of exit_keys, ^K ^I fold_in, ^K ^O fold_out, ^N
// line_down, ^D character_delete_left, ^B other_backups no.
class WriteBack : public ox_e2e::OxTest {
  protected:
    void keys() {
        write("keys.ini", ox_e2e::exit_keys + "key_bind \"^K ^I\" \"fold_in\"\n"
                                              "key_bind \"^K ^O\" \"fold_out\"\n"
                                              "key_bind \"^N\" \"line_down\"\n"
                                              "key_bind \"^D\" \"character_delete_left\"\n"
                                              "key_bind \"^B\" \"other_backups no\"\n");
    }
    e2e::pty_terminal &ox(const std::string &name) {
        keys();
        return start({"-i", "keys.ini", name});
    }
    struct stat status(const std::string &name) {
        struct stat st {};
        EXPECT_EQ(lstat(files.path(name).c_str(), &st), 0) << name;
        return st;
    }
    // Enters the virtual fold on the current line, types, leaves it
    // answering yes to the write question.
    testing::AssertionResult change_child(const std::string &name, const std::string &shows,
                                          const std::string &typed) {
        return play({{"\x0b\x09", 4, shows},
                     {typed + "\x0b\x0f", 2, name + " not written, write: yes no"},
                     {"\r", 2, ""}});
    }
};

TEST_F(WriteBack, LinksOwnersGroupsAndModesAreKept) {
    write("real.txt", "real\n", 0640);
    ASSERT_EQ(chown(files.path("real.txt").c_str(), 1234, 5678), 0);
    ASSERT_EQ(symlink("real.txt", files.path("link.txt").c_str()), 0);
    write("hard.txt", "hard\n", 0604);
    ASSERT_EQ(link(files.path("hard.txt").c_str(), files.path("other.txt").c_str()), 0);
    write("plain.txt", "plain\n", 0751);
    ASSERT_EQ(chown(files.path("plain.txt").c_str(), 4321, 8765), 0);
    write("list.top", "/*...Vlink\\46\\txt:0:*/\n/*...Vhard\\46\\txt:0:*/\n"
                      "/*...Vplain\\46\\txt:0:*/\n");
    ino_t hard_inode = status("hard.txt").st_ino;
    ox("list.top");
    ASSERT_TRUE(session->wait_row(2, ox_e2e::banner));
    ASSERT_TRUE(change_child("link.txt", "real", "L"));
    ASSERT_TRUE(play({{"\x0e", 0, "list.top" + std::string(51, ' ') + "top            2 1"}}));
    ASSERT_TRUE(change_child("hard.txt", "hard", "H"));
    ASSERT_TRUE(play({{"\x0e", 0, "list.top" + std::string(51, ' ') + "top            3 1"}}));
    ASSERT_TRUE(change_child("plain.txt", "plain", "P"));
    ASSERT_TRUE(leave());

    // The link stays a link; the file it names is written, backed up beside it.
    EXPECT_TRUE(S_ISLNK(status("link.txt").st_mode));
    EXPECT_EQ(read("real.txt"), "Lreal\n");
    EXPECT_EQ(read("real.bak"), "real\n");
    struct stat real = status("real.txt");
    EXPECT_EQ(real.st_mode & 07777, 0640u);
    EXPECT_TRUE(real.st_uid == 1234 && real.st_gid == 5678);
    // Both names of the hard-linked file see the new text: it was written in place.
    EXPECT_EQ(read("hard.txt"), "Hhard\n");
    EXPECT_EQ(read("other.txt"), "Hhard\n");
    EXPECT_EQ(status("hard.txt").st_ino, hard_inode);
    EXPECT_EQ(status("hard.txt").st_nlink, 2u);
    EXPECT_EQ(permissions(files.path("hard.txt")), 0604);
    EXPECT_EQ(read("hard.bak"), "hard\n");
    // A plain file replaced by a new one keeps owner, group and mode.
    EXPECT_EQ(read("plain.txt"), "Pplain\n");
    struct stat plain = status("plain.txt");
    EXPECT_EQ(plain.st_mode & 07777, 0751u);
    EXPECT_TRUE(plain.st_uid == 4321 && plain.st_gid == 8765);
    EXPECT_EQ(files.names(),
              (names{"keys.ini", "list.top", "real.txt", "real.bak", "link.txt", "hard.txt",
                     "other.txt", "hard.bak", "plain.txt", "plain.bak"}));
}

// Whether a program can run as the unprivileged user here.
bool can_run_as_nobody() {
    return std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true "
                       ">/dev/null 2>&1") == 0;
}

TEST_F(WriteBack, AFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
    if (geteuid() != 0 || !can_run_as_nobody())
        GTEST_SKIP() << "needs root and setpriv to run ox as another user";
    // The folder belongs to root; the file in it to the user ox runs as.
    ASSERT_EQ(chmod(files.path().c_str(), 0755), 0);
    ASSERT_TRUE(std::filesystem::create_directory(files.path("locked")));
    write("locked/notes.txt", "notes\n", 0644);
    ASSERT_EQ(chown(files.path("locked/notes.txt").c_str(), 65534, 65534), 0);
    keys();
    start({"--reuid=65534", "--regid=65534", "--clear-groups", OX_PROGRAM, "-i", "keys.ini",
           "locked/notes.txt"},
          {}, "/usr/bin/setpriv");
    const std::string asked = "locked/notes.txt not written, write: yes no";
    // clang-format off
    ASSERT_TRUE(play({{"", 2, ox_e2e::banner}, {"x\vx", 2, asked},
                      {"\r", 2, "could not take backup of locked/notes.txt"},
                      {"\x02", 2, "backups disabled"}, {"\vx", 2, asked}}));
    // clang-format on
    session->type("\r");
    ASSERT_TRUE(session->wait_exit(0));
    EXPECT_EQ(read("locked/notes.txt"), "xnotes\n");
    struct stat st = status("locked/notes.txt");
    EXPECT_TRUE(st.st_uid == 65534 && (st.st_mode & 07777) == 0644);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.path("locked")),
                            std::filesystem::directory_iterator()),
              1);
}

// A corrupt structure (an unclosed fold, an unknown letter, folds nested)
// is kept whole; a NUL byte cuts its line, and the file is written only with
// consent.
TEST_F(WriteBack, ACorruptStructureIsWrittenBackWholeAFileWithANulByteOnlyWithConsent) {
    const std::string head = "a\n/*...Sf:0:*/\nb\n/*...Sg:2:*/\n/*...q*/\nc", tail = "\n/*...e*/\n";
    write("corrupt.txt", head + std::string("\0d", 2) + tail);
    ox("corrupt.txt");
    const std::string asked = "corrupt.txt not written, write: yes no",
                      anyway = "corrupt.txt: NUL bytes will be dropped, write anyway: no yes";
    // clang-format off
    ASSERT_TRUE(play({{"", 2, "fold structure corrupt in corrupt.txt"},
                      {" ", 2, "warning: NUL bytes dropped in corrupt.txt"}, {" ", 2, ox_e2e::banner},
                      {"x", 4, "xa"}, {"", 9, "c"}, {"\vx", 2, asked}, {"\r", 2, anyway},
                      {"\r", 2, "aborted"}, {"\vx", 2, asked}, {"\r", 2, anyway}}));
    // clang-format on
    session->type("y\r");
    ASSERT_TRUE(session->wait_exit(0));
    EXPECT_EQ(read("corrupt.txt"), "x" + head + tail);
}

// A line split at 500 bytes whose second piece begins with the marker start,
// and a typed line beginning with it: the user agrees to the split, is told
// of the lines that look like markers, and the file read again (a corrupt
// structure now) is written back the same.
TEST_F(WriteBack, LinesThatLookLikeMarkersAreWrittenWithAWarningAndKept) {
    const std::string a500(500, 'a'), piece = "/*...Sx" + std::string(94, 'b');
    write("long.txt", "start\n" + a500 + piece + "\n");
    write("list.top", "/*...Vlong\\46\\txt:0:*/\n");
    const std::string split = "long.txt: long lines will be split, write anyway: no yes";
    ox("list.top");
    // clang-format off
    ASSERT_TRUE(play({{"", 2, ox_e2e::banner},
                      {"\x0b\x09", 2, "warning: long lines split in long.txt"},
                      {"/*...e", 4, "/*...estart"},
                      {"\x0b\x0f", 2, "long.txt not written, write: yes no"}, {"\r", 2, split},
                      {"\r", 2, "aborted"}, {"\x0b\x0f", 2, "long.txt not written, write: yes no"},
                      {"\r", 2, split},
                      {"y\r", 2, "warning: lines that look like fold markers written to long.txt"}}));
    // clang-format on
    const std::string written = "/*...estart\n" + a500 + "\n" + piece + "\n";
    EXPECT_EQ(read("long.txt"), written);
    EXPECT_EQ(read("long.bak"), "start\n" + a500 + piece + "\n");
    ASSERT_TRUE(leave());

    ox("long.txt");
    // clang-format off
    ASSERT_TRUE(play({{"", 2, "fold structure corrupt in long.txt"}, {" ", 2, ox_e2e::banner},
                      {"x\x04", 4, "/*...estart"}}));
    // clang-format on
    EXPECT_TRUE(leave({"long.txt"}));
    EXPECT_EQ(read("long.txt"), written);
}

} // namespace
