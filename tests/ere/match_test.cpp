// Matching: which end and which spans win, the three entry points, anchors
// and word tests at the text's ends, back-references, zero-width loops, and
// the poll hook that gives up a pathological walk.
#include "compiled.h"
#include "ere/compiled.h"

#include <cstring>
#include <span>

namespace {

TEST(EreMatch, EndsAndOffsets) {
    // clang-format off
    expect_rows({{"a+", "aaa", "3"}, {"a+", "aaa", "1", 0, ERE_SHORTEST}, {"a*", "aaa", "0", 0, ERE_NO_EXTEND},
                 {"a+", "aaa", "2", 1}, {"a*", "aaa", "0", 3}, {"", "ab", "-1", 3}}, AT);
    expect_rows({{"b+", "abbb", "2,2", 2}, {"", "abc", "3,0", 3}, {"", "ab", "none", -1},
                 {"cd|bcde", "abcdef", "1,4"}});
    // clang-format on
    // A failure leaves the outputs alone.
    compiled_ere c("(x)");
    int at = 5, length = 6;
    ERE_SUBS subs = {};
    subs.count = 42;
    EXPECT_EQ(ere_match_fwd(c.ere, 0, "abc", 0, &at, &length, &subs), 0);
    EXPECT_EQ(ere_match_bwd(c.ere, 0, "abc", 3, &at, &length, &subs), 0);
    EXPECT_TRUE(at == 5 && length == 6 && subs.count == 42);
}

TEST(EreMatch, BackwardTakesTheLatestEndThenTheEarliestStart) {
    // clang-format off
    expect_rows({{"a+", "aaa", "0,3", 3}, {"a+", "aaa", "2,1", 3, ERE_SHORTEST}, {"ab|b", "ab", "0,2", 2},
                 {"ab|b", "ab", "1,1", 2, ERE_SHORTEST}, {"", "ab", "2,0", 10}, {"", "ab", "none", -1},
                 // Bytes after the limit are still seen by "$" and the word tests.
                 {"a$", "ab", "none", 1}, {"a\\>", "ab", "none", 1}, {"a\\>", "a b", "0,1", 1},
                 {"(a+)", "xaaa", "1,2(1,2)", 3}},
                BACKWARD, MATCH_AND_SPANS);
    // clang-format on
}

TEST(EreMatch, AnchorsAndWordTestsAtTheTextsEnds) {
    // clang-format off
    expect_rows({{"^b", "ab", "none", 1}, {"b$", "ab", "1,1", 1}, {"$", "ab", "2,0"}, {"\\<x", "ax", "none"},
                 {"\\Bx", "ax", "1,1"}, {"\\B", "ab", "1,0"}, {"\\>", "ab", "2,0"}, {"\\<", "", "none"},
                 {"\\y", " a", "1,0"}, {"\\w+", "-_a1-", "1,3"},
                 // Nothing matches the end of the text.
                 {"a[^a]", "a", "none"}, {"a.", "a", "none"}, {".", "\xff", "0,1"}});
    // clang-format on
}

TEST(EreMatch, ExplorationOrderDecidesSpans) {
    // clang-format off
    expect_rows({{"(a|ab)(c|bcd)(d*)", "abcd", "0,4(0,1)(1,3)(4,0)"},
                 {"(a|ab)(c|bcd)(d*)", "abcd", "0,3(0,2)(2,1)(3,0)", 0, ERE_SHORTEST},
                 {"(a?)(a?)(a?)", "aa", "0,2(0,0)(0,1)(1,1)"}, {"(a{0,2})(a*)", "aa", "0,2(0,0)(0,2)"},
                 {"(a{2})(a*)", "aaa", "0,3(0,2)(2,1)"},
                 // Only top-level groups are reported, in the order they closed.
                 {"((a)b)", "ab", "0,2(0,2)"}, {"x(a)", "zxa", "1,2(2,1)"}, {"(a)|b", "b", "0,1"},
                 {"(\\<a|b)*(c)\\2", "abcb", "0,4(0,1)(1,1)(2,1)"}},
                FORWARD, MATCH_AND_SPANS);
    // clang-format on
    // Spans past the ninth are counted but not written.
    struct {
        ERE_SUBS subs;
        int guard[4];
    } out = {{}, {-7, -7, -7, -7}};
    compiled_ere c("(x)*");
    ASSERT_EQ(ere_match(c.ere, 0, std::string(20, 'x').c_str(), 0, &out.subs), 20);
    EXPECT_TRUE(out.subs.count == 20 && out.subs.span[8].offset == 8);
    for (int g : out.guard) EXPECT_EQ(g, -7);
}

TEST(EreMatch, BackReferencesAndZeroWidthLoops) {
    // clang-format off
    expect_rows({{"(a)\\1", "aa", "0,2"},
                 // A back-reference counts the groups closed before it at its own level.
                 {"(a)(b\\1)", "abab aba abb", "none"}, {"(a)((b)\\1)", "aba abb", "4,3"},
                 {"((a)(b)\\2)x\\1", "abbxabb", "0,7"},
                 // The first pass of a repeated group is group 1.
                 {"(a|b)*\\1", "abb", "1,2"}, {"\\1(a)", "aa", "none"}, {"(^)*x", "x", "0,1"},
                 {"(\\<|\\>|\\y|$)*", "ab", "0,0"}, {"((a*)\\1)*b", "aab", "0,3"}, {"((a*)\\2)*b", "aab", "2,1"}});
    // clang-format on
    // Three edges deep per byte: a long path must not exhaust the stack.
    std::string text(200000, 'a');
    EXPECT_EQ(search({"(a)*$", text.c_str(), ""}, AT), "200000");
}

// The deterministic automata: what a search of a line keeps for the next
// search of it, long runs passed over by a scan for the bytes that matter,
// and the expressions they leave to the walk.
TEST(EreAutomata, KeptStartsServeTheSameTextOnly) {
    compiled_ere c("[a-z]+\\(");
    char line[] = "ab( cd( ef(";
    std::string found;
    for (int at : {0, 3, 4, 7, 8, 11}) found += search(c.ere, {"", line, "", at}) + " ";
    EXPECT_EQ(found, "0,3 4,3 4,3 8,3 8,3 none ");
    // The same place, the same length, other bytes: searched afresh.
    std::memcpy(line, "(( xy( zz((", sizeof line);
    EXPECT_EQ(search(c.ere, {"", line, "", 4}), "4,2");
    EXPECT_EQ(search(c.ere, {"", line, "", 0}), "3,3");
    EXPECT_EQ(c.ere->dfa_use, DFA_READY);
}

TEST(EreAutomata, LongRunsOfOtherBytes) {
    // "foo(" at 1002 and "x_1(" at 2006, between runs of a thousand spaces;
    // backwards the limits are the text's end, just after each match, and
    // just before the first one ends.
    std::string spaces(1000, ' '), text = spaces + "a foo(" + spaces + "x_1(" + spaces;
    struct {
        const char *pattern, *expected;
    } rows[] = {
        {"[a-z_0-9]+\\(", "1002,4 1002,4 1003,3 2006,4 2008,2 | 2006,4 2006,4 1002,4 none none"},
        {"(foo|x_1) *\\(", "1002,4 1002,4 2006,4 2006,4 none | 2006,4 2006,4 1002,4 none none"},
        {"\\<[a-z]+\\(", "1002,4 1002,4 none none none | 1002,4 1002,4 1002,4 none none"},
        {"[a-z]+[[(]", "1002,4 1002,4 1003,3 none none | 1002,4 1002,4 1002,4 none none"},
        {"\\($", "none none none none none | none none none none none"},
    };
    for (const auto &row : rows) {
        compiled_ere c(row.pattern);
        std::string found;
        for (int at : {0, 1002, 1003, 1007, 2008})
            found += search(c.ere, {"", text.c_str(), "", at}) + " ";
        found += "|";
        for (int limit : {3010, 2010, 1006, 1005, 3})
            found += " " + search(c.ere, {"", text.c_str(), "", limit}, BACKWARD);
        EXPECT_EQ(found, row.expected) << row.pattern;
    }
}

TEST(EreAutomata, LeftToTheWalk) {
    // A back-reference, and an automaton too large once literal runs are
    // spelt out byte by byte: found as before, by the walk alone.
    compiled_ere backref("(a+)b\\1");
    EXPECT_EQ(search(backref.ere, {"", "xaabaa", ""}, FORWARD, MATCH_AND_SPANS), "1,5(1,2)");
    EXPECT_EQ(backref.ere->dfa_use, DFA_UNUSED);
    std::string run(254, 'q'), text = "z" + run + run + "z";
    compiled_ere large(("(" + run + "){2}|(" + run + "){15}").c_str());
    ASSERT_NE(large.ere, nullptr);
    EXPECT_EQ(search(large.ere, {"", text.c_str(), ""}), "1,508");
    EXPECT_EQ(search(large.ere, {"", text.c_str(), "", 510}, BACKWARD), "1,508");
    EXPECT_EQ(large.ere->dfa_use, DFA_UNUSED);
}

TEST(ErePoll, GivesUpAPathologicalSearchAndLeavesTheHandleSound) {
    // Where the match lies is found at once, but finding its spans walks every
    // way of cutting the a's into passes.
    compiled_ere c("(a*)*b");
    std::string line = std::string(499, 'a') + "b";
    int at = -3, length = -3;
    ERE_SUBS subs = {};
    {
        poll_guard guard(20);
        EXPECT_EQ(ere_match_fwd(c.ere, 0, line.c_str(), 0, &at, &length, &subs), 0);
        EXPECT_TRUE(ere_aborted() == 1 && poll_guard::polls == 20);
        EXPECT_TRUE(at == -3 && length == -3 && subs.count == 0);
        for (search_entry entry : {BACKWARD, AT}) {
            EXPECT_EQ(search(c.ere, {"", line.c_str(), "", entry == BACKWARD ? 500 : 0}, entry),
                      entry == AT ? "-1" : "none");
            EXPECT_EQ(ere_aborted(), 1);
        }
    }
    // The walk's marks on zero-width edges are undone, and the next match clears the flag.
    const ere_automaton *aut = c.ere->automaton;
    for (const ere_edge &edge : std::span(aut->edges, aut->edge_counter))
        EXPECT_TRUE(!edge_is_zero_width(edge.kind) || edge.last == -1);
    EXPECT_EQ(search(c.ere, {"", "aab", ""}, FORWARD, MATCH_AND_SPANS), "0,3(0,2)(2,0)");
    EXPECT_EQ(ere_aborted(), 0);
}

// The walk polls during a long search, and so do the automata over a long
// text; they finish when the poll lets them, and give up when it asks.
TEST(ErePoll, LongSearchesPollAndGiveUpWhenAsked) {
    std::string long_text(1 << 20, 'a');
    {
        poll_guard guard(0);
        expect_rows({{"(a|aa)*b", (std::string(24, 'a') + "b").c_str(), "0,25"}});
        EXPECT_GT(poll_guard::polls, 10);
        poll_guard::polls = 0;
        expect_rows({{"a*[bc]", long_text.c_str(), "none"}});
        EXPECT_GT(poll_guard::polls, 100);
    }
    compiled_ere c("a*[bc]");
    poll_guard guard(3);
    for (search_entry entry : {FORWARD, BACKWARD}) {
        poll_guard::polls = 0;
        EXPECT_EQ(
            search(c.ere, {"", long_text.c_str(), "", entry == BACKWARD ? 1 << 20 : 0}, entry),
            "none");
        EXPECT_TRUE(ere_aborted() == 1 && poll_guard::polls == 3);
    }
}

} // namespace
