// The command line read into its parts, and the ways it stops the program.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "commands/editor_state.h"
#include "main/options.h"

namespace {

// Parses "ox" followed by the arguments.
struct parsed {
    explicit parsed(std::vector<std::string> args) : words(std::move(args)) {
        words.insert(words.begin(), "ox");
        for (std::string &w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        restricted = 0;
        parse_options(static_cast<int>(words.size()), argv.data(), &cl);
    }
    std::vector<std::string> files() const { return {words.begin() + cl.first_file, words.end()}; }
    std::vector<std::string> words;
    std::vector<char *> argv;
    command_line cl{};
};

using strings = std::vector<std::string>;

TEST(Options, OnlyTheSecondCharacterNamesTheOption) {
    parsed p({"-lr", "a"});
    EXPECT_EQ(p.cl.auto_load, 1);
    EXPECT_EQ(restricted, 0) << "-lr is -l";
    EXPECT_EQ(p.files(), strings{"a"});

    parsed r({"-r", "-l"});
    EXPECT_EQ(restricted, 1);
    EXPECT_EQ(r.cl.auto_load, 1);
    EXPECT_TRUE(r.files().empty());
}

TEST(Options, OptionsEndAtTheFirstFileOrAtADoubleDash) {
    parsed after_file({"a", "-r", "-l"});
    EXPECT_EQ(restricted, 0);
    EXPECT_EQ(after_file.cl.auto_load, 0);
    EXPECT_EQ(after_file.files(), (strings{"a", "-r", "-l"}));

    parsed dash({"-l", "--", "-r"});
    EXPECT_EQ(restricted, 0);
    EXPECT_EQ(dash.files(), strings{"-r"});

    parsed dash_x({"--x", "-r", "b"});
    EXPECT_EQ(restricted, 0) << "--x acts as --";
    EXPECT_EQ(dash_x.files(), (strings{"-r", "b"}));

    parsed last_dash({"-r", "--"});
    EXPECT_EQ(restricted, 1);
    EXPECT_TRUE(last_dash.files().empty());
}

TEST(Options, ValuesComeFromTheRestOfTheArgumentOrTheNextOne) {
    parsed p({"-w80", "-h", "-3", "-i", "-r", "-ifile.ini", "f"});
    EXPECT_STREQ(p.cl.width, "80");
    EXPECT_STREQ(p.cl.height, "-3") << "a value is taken whatever it looks like";
    EXPECT_STREQ(p.cl.ini, "file.ini") << "the later -i wins";
    EXPECT_EQ(restricted, 0) << "-r was the value of -i";
    EXPECT_EQ(p.files(), strings{"f"});
    EXPECT_STREQ(parsed({"-wide"}).cl.width, "ide");
}

TEST(NumericOption, LeadingDigitsAreTheNumber) {
    EXPECT_EQ(numeric_option("80x", "width"), 80);
    EXPECT_EQ(numeric_option("0150", "height"), 150);
    EXPECT_EQ(numeric_option("000000000000040", "width"), 40);
    EXPECT_EQ(numeric_option("4294967376", "width"), INT_MAX) << "not 80 after wrapping";
}

} // namespace
