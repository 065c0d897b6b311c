// The parts of the command layer that ask or wait for keys, through a real
// terminal: commands_driver runs them in a pseudo-terminal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/pty_terminal.h"

namespace {

using e2e::pty_terminal;

// A directory of its own for the files of one test, removed with them.
class DriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/ox_cmdXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        for (const std::string &f : made) std::remove(f.c_str());
        rmdir(dir.c_str());
    }
    std::string file(const std::string &base) {
        made.push_back(dir + "/" + base);
        return made.back();
    }
    std::string write(const std::string &base, const std::string &text) {
        std::string name = file(base);
        std::ofstream(name) << text;
        return name;
    }
    static std::vector<std::string> lines_of(const std::string &name) {
        std::ifstream in(name);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    static std::vector<std::string> driver(std::vector<std::string> args) {
        args.insert(args.begin(), COMMANDS_DRIVER_PROGRAM);
        return args;
    }
    // Ends the driver once it shows "done" on the row.
    static void finish(pty_terminal &t, int row) {
        ASSERT_TRUE(t.wait_row(row, "done"));
        t.type("q");
        EXPECT_TRUE(t.wait_exit(0));
    }

    std::string dir;
    std::vector<std::string> made;
};

using IniOnTerminal = DriverTest;
using AskedArguments = DriverTest;

TEST_F(IniOnTerminal, FailingLinesAreReportedByNumberAndTheRestIsRead) {
    std::string ini = write("ox.ini", "; bindings for the test\n"
                                      "$D\n"
                                      "key_bind \"^A\" \"skipped\"\n"
                                      "$U\n"
                                      "key_bind \"^B\" \"b\"\n"
                                      "key_bind \"^C\" \"c\" key_bind \"Nope\" \"x\" key_bind "
                                      "\"^D\" \"d\"\n"
                                      "key_bind \"^E\" \"e\"\n" +
                                          std::string(600, ' ') + "key_bind \"^G\" \"g\"\n" +
                                          "key_bind \"^F\" \"f\"\n");
    std::string out = file("bindings");
    pty_terminal t(driver({"-i", ini, "-o", out}));
    ASSERT_TRUE(t.wait_row(2, "error in file " + ini + " at line 6, press a key ..."));
    EXPECT_EQ(t.row(4), "") << "the file waits for the key";
    t.type(" ");
    ASSERT_TRUE(t.wait_row(2, "error in file " + ini + " at line 8, press a key ..."))
        << "a line too long to be a command text is not run in pieces";
    t.type(" ");
    ASSERT_TRUE(t.wait_row(4, "4 bindings"));
    finish(t, 5);
    EXPECT_EQ(lines_of(out), (std::vector<std::string>{"^B=b", "^C=c", "^E=e", "^F=f"}));
}

TEST_F(IniOnTerminal, AFileThatCannotBeOpenedGivesTheDefaults) {
    std::string missing = dir + "/gone/ox.ini";
    std::string out = file("bindings");
    e2e::options wide;
    wide.cols = 120; // the whole message shows
    pty_terminal t(driver({"-i", missing, "-o", out}), wide);
    ASSERT_TRUE(t.wait_row(2, "cannot open file " + missing +
                                  ", using defaults, ^K=exit, press a key ..."));
    t.type("x");
    ASSERT_TRUE(t.wait_row(4, "23 bindings"));
    finish(t, 5);
    std::vector<std::string> bound = lines_of(out);
    ASSERT_EQ(bound.size(), 23u);
    EXPECT_EQ(bound.front(), "^A=word_left");
    EXPECT_EQ(bound[9], "^M=line_split");
    EXPECT_EQ(bound.back(), "^K=other_exit yes");
}

TEST_F(IniOnTerminal, ADirectoryCannotBeOpened) {
    pty_terminal t(driver({"-i", dir}));
    ASSERT_TRUE(
        t.wait_row(2, "cannot open file " + dir + ", using defaults, ^K=exit, press a key ..."));
    t.type("x");
    ASSERT_TRUE(t.wait_row(4, "23 bindings"));
    finish(t, 5);
}

TEST_F(AskedArguments, EachTypeIsAskedOnThePromptLine) {
    pty_terminal t(driver({"-a", "number", "-a", "string", "-a", "char", "-a", "yesno", "-a",
                           "when", "-a", "buffer", "-a", "language"}));
    ASSERT_TRUE(t.wait_row(2, "question:"));
    t.type("&1F\r");
    ASSERT_TRUE(t.wait_row(4, "number 31"));
    ASSERT_TRUE(t.wait_row(2, "question:"));
    t.type("say \"hi\"\r");
    ASSERT_TRUE(t.wait_row(5, "string say \"hi\""));
    t.type("x");
    ASSERT_TRUE(t.wait_row(6, "char 120"));
    ASSERT_TRUE(t.wait_row(2, "question: yes no"));
    t.type("n\r");
    ASSERT_TRUE(t.wait_row(7, "yesno 0"));
    ASSERT_TRUE(t.wait_row(2, "question: never if_open always"));
    t.type("a\r");
    ASSERT_TRUE(t.wait_row(8, "when 2"));
    ASSERT_TRUE(t.wait_row(2, "question:   two.txt")) << "the first buffer has no name";
    t.type("\x1b[C\r"); // Right
    ASSERT_TRUE(t.wait_row(9, "buffer \"two.txt\""));
    ASSERT_TRUE(t.wait_row(2, "question: top c"));
    t.type("\r");
    ASSERT_TRUE(t.wait_row(10, "language top")) << "the current buffer's language comes first";
    finish(t, 11);
}

TEST_F(AskedArguments, QuestionMarksInACommandTextAskInTurnAndEscapeAborts) {
    std::string out = file("bindings");
    pty_terminal t(driver({"-r", "key_bind ? ?", "-r", "key_bind \"^B\" ?", "-o", out}));
    ASSERT_TRUE(t.wait_row(2, "key(s) to bind to:"));
    t.type("^A\r");
    ASSERT_TRUE(t.wait_row(2, "action:"));
    t.type("line_goto ?\r");
    ASSERT_TRUE(t.wait_row(4, "ran 1"));
    ASSERT_TRUE(t.wait_row(2, "action:"));
    t.type("\x1b");
    ASSERT_TRUE(t.wait_row(2, "aborted"));
    ASSERT_TRUE(t.wait_row(5, "ran 0"));
    finish(t, 6);
    EXPECT_EQ(lines_of(out), (std::vector<std::string>{"^A=line_goto ?"}));
}

TEST_F(AskedArguments, TheTextEndingBeforeAnArgumentAsksNothing) {
    pty_terminal t(driver({"-r", "key_bind ?"}));
    ASSERT_TRUE(t.wait_row(2, "key(s) to bind to:"));
    t.type("^A\r");
    ASSERT_TRUE(t.wait_row(2, "insufficient arguments"));
    ASSERT_TRUE(t.wait_row(4, "ran 0"));
    finish(t, 5);
}

} // namespace
