// Substitution strings: group references, escapes, errors and the exact
// length limit.
#include "compiled.h"

#include <vector>

namespace {

// The new text, or "error N".
std::string substitute(const char *text, int offset, int length, const char *replacement,
                       int max = 500, const ERE_SUBS *subs = nullptr) {
    std::vector<char> output(max + 1, '#'); // exactly max + 1 bytes, for the sanitizers
    int error = -1;
    if (!ere_subs_with(text, offset, length, subs, replacement, output.data(), max, &error))
        return "error " + std::to_string(error);
    return output.data();
}

TEST(EreSubst, ReplacesTheMatchWithGroupsAndEscapes) {
    EXPECT_EQ(substitute("hello world", 6, 5, "there"), "hello there");
    EXPECT_EQ(substitute("x", 0, 1, "\\\\\\0\\n\\&&"), "\\0n&&");
    compiled_ere swap("(\\w+) (\\w+)");
    int at, length;
    ERE_SUBS subs = {};
    ASSERT_EQ(ere_match_fwd(swap.ere, 0, "-one two-", 0, &at, &length, &subs), 1);
    EXPECT_EQ(substitute("-one two-", at, length, "\\2 \\1\\1", 500, &subs), "-two oneone-");
    for (int i = 0; i < 9; i++) subs.span[i] = {i, 1};
    subs.count = 30;
    EXPECT_EQ(substitute("abcdefghi", 0, 9, "\\9\\1", 500, &subs), "ia");
    subs.count = 8;
    EXPECT_EQ(substitute("abcdefghi", 0, 0, "\\9", 500, &subs), "error 23");
}

TEST(EreSubst, ErrorsFromTheLeftAndTheExactLengthLimit) {
    EXPECT_EQ(substitute("abc", 1, 1, "\\1"), "error 23");
    EXPECT_EQ(substitute("abc", 1, 1, "x\\"), "error 22");
    EXPECT_EQ(substitute("abc", 1, 1, "xyz\\1", 3), "error 24");
    // "ab" + "XY" + "d" is 5 bytes.
    EXPECT_EQ(substitute("abcd", 2, 1, "XY", 5), "abXYd");
    EXPECT_EQ(substitute("abcd", 2, 1, "XYZ", 5), "error 24");
    EXPECT_EQ(substitute("abcd", 2, 2, "", 2), "ab");
    EXPECT_EQ(substitute("abcd", 3, 1, "", 2), "error 24");
}

} // namespace
