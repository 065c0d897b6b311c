// Substitution strings: group references, escapes, and the length limit.
#include "compiled.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Result {
    int ok;
    int error;
    std::string text;
};

Result substitute(const char *text, int offset, int length, const ERE_SUBS &subs,
                  const char *replacement, int max = 500) {
    std::string output(max + 1, '#');
    int error = -1;
    int ok = ere_subs_with(text, offset, length, &subs, replacement, output.data(), max, &error);
    return {ok, ok ? 0 : error, ok ? std::string(output.c_str()) : ""};
}

ERE_SUBS no_groups() {
    ERE_SUBS subs = {};
    return subs;
}

TEST(EreSubst, ReplacesTheMatch) {
    Result r = substitute("hello world", 6, 5, no_groups(), "there");
    EXPECT_EQ(r.ok, 1);
    EXPECT_EQ(r.text, "hello there");
    EXPECT_EQ(substitute("hello world", 6, 5, no_groups(), "").text, "hello ");
    EXPECT_EQ(substitute("hello world", 0, 0, no_groups(), ">").text, ">hello world");
    EXPECT_EQ(substitute("abc", 3, 0, no_groups(), "!").text, "abc!");
}

TEST(EreSubst, GroupsFromAMatch) {
    Compiled c("(b+)");
    int at, length;
    ERE_SUBS subs = {};
    ASSERT_EQ(ere_match_fwd(c.ere, 0, "abbbc", 0, &at, &length, &subs), 1);
    EXPECT_EQ(substitute("abbbc", at, length, subs, "[\\1]").text, "a[bbb]c");
    EXPECT_EQ(substitute("abbbc", at, length, subs, "\\1\\1").text, "abbbbbbc");

    Compiled swap("(\\w+) (\\w+)");
    ASSERT_EQ(ere_match_fwd(swap.ere, 0, "-one two-", 0, &at, &length, &subs), 1);
    EXPECT_EQ(substitute("-one two-", at, length, subs, "\\2 \\1").text, "-two one-");
}

TEST(EreSubst, EscapesStandForThemselves) {
    EXPECT_EQ(substitute("x", 0, 1, no_groups(), "\\\\\\0\\n\\&&").text, "\\0n&&");
}

TEST(EreSubst, Errors) {
    EXPECT_EQ(substitute("abc", 1, 1, no_groups(), "\\1").error, 23);
    EXPECT_EQ(substitute("abc", 1, 1, no_groups(), "x\\").error, 22);
    EXPECT_EQ(substitute("abc", 1, 1, no_groups(), "\\").error, 22);
    // The first problem from the left is the one reported.
    EXPECT_EQ(substitute("abc", 1, 1, no_groups(), "\\1\\").error, 23);
    EXPECT_EQ(substitute("abc", 1, 1, no_groups(), "xyz\\1", 3).error, 24);
    ERE_SUBS one = {};
    one.count = 1;
    EXPECT_EQ(substitute("abc", 1, 1, one, "\\1\\2").error, 23);
    int error = -1;
    char out[8];
    EXPECT_EQ(ere_subs_with("abc", 1, 1, nullptr, "\\1", out, 7, &error), 0);
    EXPECT_EQ(error, 23);
}

TEST(EreSubst, NinthGroupNeedsNineSpans) {
    ERE_SUBS subs = {};
    for (int i = 0; i < 9; i++) subs.span[i] = {i, 1};
    subs.count = 8;
    EXPECT_EQ(substitute("abcdefghi", 0, 0, subs, "\\9").error, 23);
    subs.count = 9;
    EXPECT_EQ(substitute("abcdefghi", 0, 0, subs, "\\9-").text, "i-abcdefghi");
    subs.count = 30;
    EXPECT_EQ(substitute("abcdefghi", 0, 9, subs, "\\9\\1").text, "ia");
}

TEST(EreSubst, ExactLengthLimit) {
    // "ab" + "XY" + "d" is 5 bytes.
    EXPECT_EQ(substitute("abcd", 2, 1, no_groups(), "XY", 5).text, "abXYd");
    EXPECT_EQ(substitute("abcd", 2, 1, no_groups(), "XYZ", 5).error, 24);
    EXPECT_EQ(substitute("abcde", 2, 1, no_groups(), "XY", 5).error, 24);
    EXPECT_EQ(substitute("abcd", 3, 1, no_groups(), "", 2).error, 24);
    EXPECT_EQ(substitute("abcd", 2, 2, no_groups(), "", 2).text, "ab");
    std::string line(500, 'x');
    EXPECT_EQ(substitute(line.c_str(), 0, 1, no_groups(), "y").text, "y" + line.substr(1));
    EXPECT_EQ(substitute(line.c_str(), 0, 1, no_groups(), "yy").error, 24);
}

} // namespace
