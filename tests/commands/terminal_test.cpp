// Through a real terminal: leaving ox with its questions, backups, modes,
// failing writes and exit statuses.
#include "main/ox_session.h"

namespace {

using names = std::set<std::string>;
using test_support::permissions;

// ox on a file with the keys of exit_keys, ^E other_exit ?, ^B other_backups
// no, ^D buffer_delete of the current buffer.
class Leaving : public ox_e2e::OxTest {
  protected:
    void ox(const std::string &name = "") {
        write("keys.ini", ox_e2e::exit_keys + "key_bind \"^E\" \"other_exit ?\"\n"
                                              "key_bind \"^B\" \"other_backups no\"\n"
                                              "key_bind \"^D\" \"buffer_delete .\"\n");
        start(name.empty() ? std::vector<std::string>{"-i", "keys.ini"}
                           : std::vector<std::string>{"-i", "keys.ini", name});
    }
};

TEST_F(Leaving, ExitAsksThenWritesTheFileKeepingItsBackupAndMode) {
    write("prog.c", "first\nsecond\n", 02751);
    write("prog.bak", "older backup\n");
    const std::string asked = "prog.c not written, write: yes no";
    ox("prog.c");
    // clang-format off
    ASSERT_TRUE(play({{"", 2, ox_e2e::banner}, {"\x05", 2, "sure: yes no"}, {"n\r", 2, ""},
                      {"x\vx", 2, asked}, {"\x1b", 2, "aborted"}, {"\vx", 2, asked}}));
    // clang-format on
    session->type("\r");
    ASSERT_TRUE(session->wait_exit(0));
    EXPECT_EQ(read("prog.c"), "xfirst\nsecond\n");
    EXPECT_EQ(permissions(files.path("prog.c")), 02751) << "set-group-ID too";
    EXPECT_EQ(read("prog.bak"), "first\nsecond\n");
    EXPECT_EQ(files.names(), (names{"prog.c", "prog.bak", "keys.ini"}));
}

// A read-only file with a long name: the name is cut so that the whole
// question shows. Deleting its buffer asks the same.
TEST_F(Leaving, AReadOnlyFileIsOverwrittenOnlyWhenTheUserAgrees) {
    const std::string name = std::string(60, 'n') + ".txt", backup = std::string(60, 'n') + ".bak";
    write(name, "locked\n", 0444);
    write(backup, "kept\n");
    const std::string asked = name.substr(0, 53) + " not written, write: yes no",
                      overwrite = name.substr(0, 52) + " readonly, overwrite: yes no";
    ox(name);
    // clang-format off
    ASSERT_TRUE(play({{" ", 2, ox_e2e::banner}, {"\x02", 2, "backups disabled"},
                      {"x\x04", 2, asked}, {"\r", 2, overwrite}, {"n\r", 2, "aborted"},
                      {"\vx", 2, asked}, {"\r", 2, overwrite}, {"n\r", 2, "aborted"},
                      {"\vx", 2, asked}, {"\r", 2, overwrite}}));
    // clang-format on
    session->type("\r");
    ASSERT_TRUE(session->wait_exit(0));
    EXPECT_EQ(read(name), "xlocked\n");
    EXPECT_EQ(permissions(files.path(name)), 0444);
    EXPECT_EQ(read(backup), "kept\n") << "backups were off";
}

// The text of a buffer without a file is written under a name asked for, or
// let go on purpose; Escape, a bad name or a failed write stay in ox, the
// buffer still unnamed. Deleting the buffer asks the same.
TEST_F(Leaving, AnUnnamedBufferIsNeverLeftWithoutAWord) {
    const std::string asked = "unnamed buffer not written, write: yes no";
    for (bool first : {true, false}) {
        ox();
        ASSERT_TRUE(play({{"", 2, ox_e2e::banner}, {"hello\vx", 2, asked}}));
        // clang-format off
        if (first) {
            ASSERT_TRUE(play({{"\x1b", 2, "aborted"}, {"\vx\r", 2, "filename:"},
                              {"\x1b", 2, "aborted"}, {"\vx\r", 2, "filename:"},
                              {"gone/x\r", 2, "can't write gone/x"}, {"\x04", 2, asked},
                              {"n\r", 2, "can't delete current buffer"}, {"\vx", 2, asked}}));
        }
        // clang-format on
        session->type(first ? "n\r" : "\rnotes.txt\r");
        ASSERT_TRUE(session->wait_exit(0));
    }
    EXPECT_EQ(read("notes.txt"), "hello\n");
    EXPECT_EQ(files.names(), (names{"notes.txt", "keys.ini"})) << "nothing else written";
}

TEST_F(Leaving, AWriteThatFailsKeepsTheEditorTheTextAndTheFiles) {
    std::string text;
    for (int i = 0; i < 40; i++) text += "line " + std::to_string(i) + " of a file too big\n";
    write("big.txt", text, 0640);
    write("big.bak", "old backup\n");
    {
        // ox keeps the limit, and ignores SIGXFSZ itself.
        test_support::file_size_limit limit(1000, false);
        ox("big.txt");
    }
    // clang-format off
    ASSERT_TRUE(play({{"", 2, ox_e2e::banner}, {"x\vx", 2, "big.txt not written, write: yes no"},
                      {"\r", 2, "can't write big.txt"}, {"y", 4, "xyline 0 of a file too big"}}))
        << "the text is kept";
    // clang-format on
    session->type("\v\x11"); // ^K ^Q: other_abort yes
    ASSERT_TRUE(session->wait_exit(1));
    EXPECT_EQ(read("big.txt"), text);
    EXPECT_EQ(permissions(files.path("big.txt")), 0640);
    EXPECT_EQ(read("big.bak"), "old backup\n");
    EXPECT_EQ(files.names(), (names{"big.txt", "big.bak", "keys.ini"}));
}

} // namespace
