// Through a real terminal: arguments asked for on the prompt line
// (commands_driver), and leaving ox with its questions, backups, modes,
// failing writes and exit statuses.
#include "main/ox_session.h"

namespace {

using names = std::set<std::string>;
using test_support::permissions;

using AskedArguments = ox_e2e::OxTest;

TEST_F(AskedArguments, EachTypeIsAskedAndEscapeAborts) {
    std::vector<std::string> args;
    for (const char *type : {"n", "s", "c", "y", "w", "b", "l", "n"})
        args.insert(args.end(), {"-a", type});
    args.insert(args.end(), {"-r", "key_bind ? ? key_bind ?", "-r", "key_bind \"^A\" ?"});
    e2e::pty_terminal &t = start(args, {}, COMMANDS_DRIVER_PROGRAM);
    // After the keys, the result on the next row (none while a text goes on).
    const struct {
        const char *question, *keys, *result;
    } steps[] = {
        // clang-format off
        {"question:", "&1F\r", "n 31|"}, {"question:", "say \"hi\"\r", "s say \"hi\"|"},
        {"question:", "x", "c 120|"}, {"question: yes no", "n\r", "y 0|"},
        {"question: never if_open always", "a\r", "w 2|"},
        {"question:   two.txt", "\r", "b two.txt|"}, // the current one highlighted
        {"question: top c", "\r", "l top|"},         // the current buffer's language first
        {"question:", "\x1b", "n !aborted"}, {"key(s) to bind to:", "^A\r", ""},
        {"action:", "line_goto ?\r", ""},
        {"key(s) to bind to:", "^B\r", "ran 0 insufficient arguments"},
        {"action:", "\x1b", "ran 0 aborted"},
        // clang-format on
    };
    int row = 4;
    for (auto s : steps) {
        ASSERT_TRUE(t.wait_row(2, s.question));
        t.type(s.keys);
        if (*s.result) {
            ASSERT_TRUE(t.wait_row(row++, s.result));
        }
    }
    ASSERT_TRUE(t.wait_row(row, "done"));
    t.type("q");
    EXPECT_TRUE(t.wait_exit(0));
}

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
