// The command line read into its parts; what ox does with them is tested
// through a terminal (command_line_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/editor_state.h"
#include "main/options.h"
#include "support/scratch.h"

namespace {

// Parses "ox" and the arguments: the options set and, after "|", the file names.
std::string parse(std::vector<std::string> words) {
    words.insert(words.begin(), "ox");
    std::vector<char *> argv;
    for (std::string &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    restricted = 0;
    command_line cl{};
    parse_options(static_cast<int>(words.size()), argv.data(), &cl);
    std::string s = std::string(cl.auto_load ? "l" : "") + (restricted ? "r" : "");
    for (auto [name, value] : {std::pair{" w", cl.width}, {" h", cl.height}, {" i", cl.ini}})
        if (value) s += name + std::string(value);
    s += " |";
    for (size_t i = cl.first_file; i < words.size(); i++) s += " " + words[i];
    return s;
}

TEST(Options, OnlyTheSecondCharacterCountsAndOptionsEndAtAFileOrADoubleDash) {
    const struct {
        std::vector<std::string> words;
        const char *parsed;
    } cases[] = {
        {{"-lr", "a"}, "l | a"},
        {{"a", "-r", "-l"}, " | a -r -l"},
        {{"-l", "--", "-r"}, "l | -r"},
        {{"-r", "--"}, "r |"},
        {{"-w80", "-h", "-3", "-i", "-r", "-ifile.ini", "f"}, " w80 h-3 ifile.ini | f"},
        // Only the whole words --help and --version are options of their own.
        {{"--helpx", "-r"}, " | -r"},
        {{"-l", "a", "--version"}, "l | a --version"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parse(c.words), c.parsed) << testing::PrintToString(c.words);
}

// Run in a child process: parses the words with standard output sent to the
// file `out`.
void parse_to(const std::vector<std::string> &words, const char *out) {
    if (!std::freopen(out, "w", stdout)) std::_Exit(99);
    parse(words);
}

TEST(OptionsDeathTest, HelpAndVersionGoToStandardOutputWhileOptionsAreRead) {
    test_support::scratch_dir dir;
    const std::string out = dir.path("out");
    const std::string usage =
        "usage: ox [-l] [-r] [-w width] [-h height] [-i inifile] [--] {filename}\n";
    EXPECT_EXIT(parse_to({"-l", "--help", "-x"}, out.c_str()), testing::ExitedWithCode(0), "^$");
    const std::string help = test_support::read_file(out);
    EXPECT_TRUE(help.starts_with(usage)) << help;
    EXPECT_TRUE(help.ends_with("\n       --help      show this text\n"
                               "       --version   show the version\n"))
        << help;
    EXPECT_EXIT(parse_to({"--version", "--help"}, out.c_str()), testing::ExitedWithCode(0), "^$");
    EXPECT_EQ(test_support::read_file(out), "ox " OX_VERSION "\n");
    // What cannot be written whole is not reported as done.
    EXPECT_EXIT(parse_to({"--help"}, "/dev/full"), testing::ExitedWithCode(2),
                "^ox: can't write to standard output\n$");
    // A usage error, or an option without its value, goes to standard error alone.
    EXPECT_EXIT(parse_to({"-x"}, out.c_str()), testing::ExitedWithCode(2), "^usage: ox ");
    EXPECT_EXIT(parse_to({"-l", "-w"}, out.c_str()), testing::ExitedWithCode(2),
                "^usage: ox .*\n       filename    name\\(s\\) of files to edit \\(no extension "
                "assumed\\)\n$");
    EXPECT_EQ(test_support::read_file(out), "");
}

} // namespace
