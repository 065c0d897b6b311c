// Matching: which end wins, the spans of top-level groups, anchors and word
// tests at the text's ends, and the three entry points.
#include "compiled.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Found {
    int offset = -1, length = -1;
    ERE_SUBS subs = {};
};

// ere_match_fwd from offset 0 with spans; length -1 when nothing is found.
Found fwd(const char *pattern, const char *text, int flags = 0) {
    Compiled c(pattern);
    EXPECT_NE(c.ere, nullptr) << pattern;
    Found f;
    if (c.ere && !ere_match_fwd(c.ere, flags, text, 0, &f.offset, &f.length, &f.subs)) f = Found();
    return f;
}

std::string bwd(const char *pattern, const char *text, int limit, int flags = 0) {
    Compiled c(pattern);
    int at = -1, length = -1;
    if (!c.ere || !ere_match_bwd(c.ere, flags, text, limit, &at, &length, nullptr)) return "none";
    return std::to_string(at) + "," + std::to_string(length);
}

TEST(EreMatch, LongestOrShortestEnd) {
    Compiled c("a+");
    EXPECT_EQ(ere_match(c.ere, 0, "aaa", 0, nullptr), 3);
    EXPECT_EQ(ere_match(c.ere, ERE_SHORTEST, "aaa", 0, nullptr), 1);
    EXPECT_EQ(ere_match(c.ere, ERE_NO_EXTEND, "aaa", 0, nullptr), 1);
    EXPECT_EQ(ere_match(c.ere, 0, "aaa", 1, nullptr), 2);
    EXPECT_EQ(ere_match(c.ere, 0, "baa", 0, nullptr), -1);
    Compiled star("a*");
    EXPECT_EQ(ere_match(star.ere, ERE_NO_EXTEND, "aaa", 0, nullptr), 0);
    EXPECT_EQ(ere_match(star.ere, 0, "aaa", 3, nullptr), 0);
}

TEST(EreMatch, ForwardFindsLeftmost) {
    EXPECT_EQ(find("b+", "abbb"), "1,3");
    EXPECT_EQ(find("b+", "abbb", 2), "2,2");
    EXPECT_EQ(find("b+", "abbb", 4), "none");
    EXPECT_EQ(find("", "abc", 3), "3,0");
    EXPECT_EQ(find("x*", "abc", 1), "1,0");
    EXPECT_EQ(find("cd|bcde", "abcdef"), "1,4");
}

TEST(EreMatch, OffsetsOutsideTheTextFindNothing) {
    Compiled c("");
    int at = 7, length = 7;
    EXPECT_EQ(ere_match(c.ere, 0, "ab", 3, nullptr), -1);
    EXPECT_EQ(ere_match(c.ere, 0, "ab", -1, nullptr), -1);
    EXPECT_EQ(ere_match_fwd(c.ere, 0, "ab", 3, &at, &length, nullptr), 0);
    EXPECT_EQ(ere_match_fwd(c.ere, 0, "ab", -1, &at, &length, nullptr), 0);
    EXPECT_EQ(ere_match_bwd(c.ere, 0, "ab", -1, &at, &length, nullptr), 0);
    EXPECT_EQ(at, 7);
    EXPECT_EQ(length, 7);
    EXPECT_EQ(ere_match_bwd(c.ere, 0, "ab", 10, &at, &length, nullptr), 1);
    EXPECT_EQ(at, 2);
    EXPECT_EQ(length, 0);
}

TEST(EreMatch, FailureLeavesOutputsAlone) {
    Compiled c("(x)");
    int at = 5, length = 6;
    ERE_SUBS subs = {};
    subs.count = 42;
    EXPECT_EQ(ere_match_fwd(c.ere, 0, "abc", 0, &at, &length, &subs), 0);
    EXPECT_EQ(ere_match_bwd(c.ere, 0, "abc", 3, &at, &length, &subs), 0);
    EXPECT_EQ(ere_match(c.ere, 0, "abc", 0, &subs), -1);
    EXPECT_EQ(at, 5);
    EXPECT_EQ(length, 6);
    EXPECT_EQ(subs.count, 42);
}

TEST(EreMatch, BackwardTakesLatestEndThenEarliestStart) {
    EXPECT_EQ(bwd("a", "aaa", 3), "2,1");
    EXPECT_EQ(bwd("a+", "aaa", 3), "0,3");
    EXPECT_EQ(bwd("a+", "aaa", 2), "0,2");
    EXPECT_EQ(bwd("a+", "aaa", 3, ERE_SHORTEST), "2,1");
    EXPECT_EQ(bwd("ab|b", "ab", 2), "0,2");
    EXPECT_EQ(bwd("ab|b", "ab", 2, ERE_SHORTEST), "1,1");
    EXPECT_EQ(bwd("x", "aaa", 3), "none");
    EXPECT_EQ(bwd("a", "aaa", 0), "none");
    EXPECT_EQ(bwd("", "aaa", 0), "0,0");
    EXPECT_EQ(bwd("b", "abcb", 3), "1,1");
}

TEST(EreMatch, BackwardSeesBytesAfterTheLimit) {
    EXPECT_EQ(bwd("a$", "ab", 1), "none");
    EXPECT_EQ(bwd("a\\>", "ab", 1), "none");
    EXPECT_EQ(bwd("a\\>", "a b", 1), "0,1");
    Compiled c("(a+)");
    int at, length;
    ERE_SUBS subs = {};
    ASSERT_EQ(ere_match_bwd(c.ere, 0, "xaaa", 3, &at, &length, &subs), 1);
    EXPECT_EQ(at, 1);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(spans_of(subs), (Spans{{1, 2}}));
}

TEST(EreMatch, AnchorsAndWordTestsAtTheEnds) {
    EXPECT_EQ(find("^b", "ab", 1), "none");
    EXPECT_EQ(find("^a", "ab"), "0,1");
    EXPECT_EQ(find("b$", "ab", 1), "1,1");
    EXPECT_EQ(find("$", "ab"), "2,0");
    EXPECT_EQ(find("\\<x", "ax"), "none");
    EXPECT_EQ(find("\\<x", "a x"), "2,1");
    EXPECT_EQ(find("\\Bx", "ax"), "1,1");
    EXPECT_EQ(find("\\B", "a"), "none");
    EXPECT_EQ(find("\\B", ""), "none");
    EXPECT_EQ(find("\\B", "ab"), "1,0");
    EXPECT_EQ(find("\\>", "ab"), "2,0");
    EXPECT_EQ(find("\\<", "ab"), "0,0");
    EXPECT_EQ(find("\\<", ""), "none");
    EXPECT_EQ(find("\\y", " a"), "1,0");
    EXPECT_EQ(find("\\y", "a "), "0,0");
    EXPECT_EQ(find("\\w+", "-_a1-"), "1,3");
    EXPECT_EQ(find("\\W+", "a- b"), "1,2");
    EXPECT_EQ(find("\\W", "a"), "none");
}

TEST(EreMatch, NothingMatchesTheEndOfTheText) {
    EXPECT_EQ(find("a[^a]", "a"), "none");
    EXPECT_EQ(find("a~a", "a"), "none");
    EXPECT_EQ(find("a.", "a"), "none");
    EXPECT_EQ(find(".", "\xff"), "0,1");
    EXPECT_EQ(find("a[^a]", "ab"), "0,2");
}

TEST(EreMatch, GroupsReportTopLevelSpans) {
    Found f = fwd("(a)(b)", "ab");
    EXPECT_EQ(f.subs.count, 2);
    EXPECT_EQ(spans_of(f.subs), (Spans{{0, 1}, {1, 1}}));
    f = fwd("((a)b)", "ab");
    EXPECT_EQ(spans_of(f.subs), (Spans{{0, 2}}));
    f = fwd("x(a)", "zxa");
    EXPECT_EQ(spans_of(f.subs), (Spans{{2, 1}}));
    f = fwd("(a)|b", "b");
    EXPECT_EQ(f.subs.count, 0);
}

TEST(EreMatch, SpansPastTheNinthAreCountedButNotWritten) {
    struct {
        ERE_SUBS subs;
        int guard[4];
    } out = {};
    for (int &g : out.guard) g = -7;
    Compiled c("(x)*");
    std::string text(20, 'x');
    ASSERT_EQ(ere_match(c.ere, 0, text.c_str(), 0, &out.subs), 20);
    EXPECT_EQ(out.subs.count, 20);
    for (int i = 0; i < 9; i++) EXPECT_EQ(out.subs.span[i].offset, i);
    for (int g : out.guard) EXPECT_EQ(g, -7);
}

TEST(EreMatch, ExplorationOrderDecidesSpans) {
    Found f = fwd("(a|ab)(c|bcd)(d*)", "abcd");
    EXPECT_EQ(f.length, 4);
    EXPECT_EQ(f.subs.count, 3);
    EXPECT_EQ(spans_of(f.subs), (Spans{{0, 1}, {1, 3}, {4, 0}}));
    f = fwd("(a|ab)(c|bcd)(d*)", "abcd", ERE_SHORTEST);
    EXPECT_EQ(f.length, 3);
    EXPECT_EQ(spans_of(f.subs), (Spans{{0, 2}, {2, 1}, {3, 0}}));
    EXPECT_EQ(spans_of(fwd("(a*)(a*)", "aaa").subs), (Spans{{0, 3}, {3, 0}}));
    EXPECT_EQ(spans_of(fwd("(a?)(a?)(a?)", "aa").subs), (Spans{{0, 0}, {0, 1}, {1, 1}}));
    EXPECT_EQ(spans_of(fwd("(a{0,2})(a*)", "aa").subs), (Spans{{0, 0}, {0, 2}}));
    EXPECT_EQ(spans_of(fwd("(a{1,})(a*)", "aaa").subs), (Spans{{0, 1}, {1, 2}}));
    EXPECT_EQ(spans_of(fwd("(a+)(a*)", "aaa").subs), (Spans{{0, 3}, {3, 0}}));
    EXPECT_EQ(spans_of(fwd("(a{2})(a*)", "aaa").subs), (Spans{{0, 2}, {2, 1}}));
    EXPECT_EQ(spans_of(fwd("(b|a)(a|b)", "ab").subs), (Spans{{0, 1}, {1, 1}}));
}

TEST(EreMatch, BackReferencesCountTheirOwnLevel) {
    EXPECT_EQ(find("(a)\\1", "aa"), "0,2");
    EXPECT_EQ(find("(a)(b\\1)", "abab aba abb"), "none");
    EXPECT_EQ(find("(a)((b)\\1)", "aba abb"), "4,3");
    EXPECT_EQ(find("((a)(b)\\2)x\\1", "abbxabb"), "0,7");
    EXPECT_EQ(find("(a+)-\\1", "aa-a aa-aa"), "1,3");
    EXPECT_EQ(find("(a+)-\\1$", "aa-a aa-aa"), "5,5");
    // The first pass of a repeated group is group 1.
    EXPECT_EQ(find("(a|b)*\\1", "abb"), "1,2");
    EXPECT_EQ(find("\\1(a)", "aa"), "none");
    EXPECT_EQ(find("()\\1x", "x"), "0,1");
}

TEST(EreMatch, ZeroWidthLoopsTerminate) {
    EXPECT_EQ(find("(^)*x", "x"), "0,1");
    EXPECT_EQ(find("(\\<|\\>|\\y|$)*", "ab"), "0,0");
    EXPECT_EQ(find("(a*)*b", "aab"), "0,3");
    EXPECT_EQ(find("(a|\\B)*c", "aac"), "0,3");
    EXPECT_EQ(find("((a*)\\1)*b", "aab"), "0,3");
    EXPECT_EQ(find("((a*)\\2)*b", "aab"), "2,1");
}

TEST(EreMatch, CaseFoldingComparesAgainstFoldedText) {
    Compiled c("Hello World", ERE_ICASE);
    int at, length;
    EXPECT_EQ(ere_match_fwd(c.ere, 0, "say hello world", 0, &at, &length, nullptr), 1);
    EXPECT_EQ(at, 4);
    EXPECT_EQ(ere_match_fwd(c.ere, 0, "say Hello World", 0, &at, &length, nullptr), 0);
}

TEST(EreMatch, RepeatedMatchesGiveTheSameResult) {
    // Group 2 is the second group closed at the top level: the pass over "b".
    Compiled c("(\\<a|b)*(c)\\2");
    ERE_SUBS first = {}, again = {};
    EXPECT_EQ(ere_match(c.ere, 0, "abcb", 0, &first), 4);
    EXPECT_EQ(spans_of(first), (Spans{{0, 1}, {1, 1}, {2, 1}}));
    EXPECT_EQ(ere_match(c.ere, 0, "abacb", 0, nullptr), -1);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(ere_match(c.ere, 0, "abcb", 0, &again), 4);
        EXPECT_EQ(spans_of(again), spans_of(first));
    }
}

TEST(EreMatch, LongPathsDoNotExhaustTheStack) {
    // Each pass opens and closes a group: the walk goes three edges deep per
    // byte of the text.
    std::string text(200000, 'a');
    Compiled c("(a)*$");
    ERE_SUBS subs = {};
    EXPECT_EQ(ere_match(c.ere, 0, text.c_str(), 0, &subs), 200000);
    EXPECT_EQ(subs.count, 200000);
}

} // namespace
