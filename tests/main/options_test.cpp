// The command line read into its parts; what ox does with them is tested
// through a terminal (command_line_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/editor_state.h"
#include "main/options.h"

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
        {{"-r", "-l"}, "lr |"},
        {{"a", "-r", "-l"}, " | a -r -l"},
        {{"-l", "--", "-r"}, "l | -r"},
        {{"--x", "-r", "b"}, " | -r b"},
        {{"-r", "--"}, "r |"},
        {{"-w80", "-h", "-3", "-i", "-r", "-ifile.ini", "f"}, " w80 h-3 ifile.ini | f"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parse(c.words), c.parsed) << testing::PrintToString(c.words);
}

} // namespace
