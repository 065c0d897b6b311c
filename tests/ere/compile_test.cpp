// Compiling: the accepted syntax, its error codes, min lengths, the
// automaton's fixed limits, and running out of memory.
#include "compiled.h"
#include "ere/alloc.h"

namespace {

int error_of(const std::string &pattern) {
    return compiled_ere(pattern.c_str()).error;
}

TEST(EreSyntax, ErrorCodes) {
    const std::pair<const char *, int> cases[] = {
        // clang-format off
        {"(a\\", 2}, {"[-a]", 3}, {"[[:alpha:]-z]", 3}, {"[a-]", 4}, {"[a\\", 5}, {"[]a]", 6},
        {"a)", 7}, {"?a", 8}, {"(+)", 9}, {"a|*", 10}, {"{1}", 11}, {"}", 12}, {"a{,2}", 13},
        {"a{2,x}", 14}, {"a{2 }", 15}, {"a{3,2}", 16}, {"[[.a.]]", 19}, {"[[=a=]]", 20},
        {"[[:alpha]]", 21}, {"[]", 0},
        {"a{4294967297}", 18}, // a count too large to write is not wrapped round
        // clang-format on
    };
    for (auto [pattern, code] : cases) EXPECT_EQ(error_of(pattern), code) << pattern;
    EXPECT_STREQ(ere_error(18), "too complex");
    EXPECT_EQ(ere_error(25), nullptr);
    EXPECT_EQ(ere_compile("a{", 0, nullptr), nullptr) << "no place for the code is needed";
    // Counts nested in counts: telling a whole match from the parse gives up
    // at once rather than after hours.
    EXPECT_EQ(ere_may_match_whole("((((((a?){255}){255}){255}){255}){255}){255}b", 0, "aaaa"), 1);
}

TEST(EreSyntax, AcceptedForms) {
    // clang-format off
    expect_rows({{"", "abc", "1,0", 1}, {"a|", "b", "0,0"}, {"(|a)", "a", "0,1"},
                 {"a{2,3}", "aaaa", "0,3"}, {"(ab){2}", "ababab", "0,4"},
                 // A quantifier after a run of literals binds to its last character only.
                 {"abc*", "abd", "0,2"},
                 // Brackets: ranges either way round, escapes and classes inside.
                 {"[c-a]", "abc", "2,1"}, {"[\\]]", "a]", "1,1"}, {"[a-c-e]+", "xabcdef", "1,5"},
                 {"[^]", "abc", "0,1"}, {"[[:digit:][:blank:]]+", "x1 2\t3y", "1,5"},
                 {"[^[:alnum:]]", "ab1_", "3,1"}, {"[\xe9]", "caf\xe9", "3,1"},
                 // Escapes; one of value 0 ends the expression.
                 {"\\t\\e\\f\\n\\r\\b", "x\t\x1b\f\n\r\b", "1,6"}, {"\\x41\\x4a\\x4Bz", "AJKz", "0,4"},
                 {"ab\\x00cd", "ab", "0,2"},
                 // "~c" is any character but c; "~" at the end is itself.
                 {"~.", "..a", "2,1"}, {"a~", "ba~", "1,2"},
                 // Anchors stand anywhere.
                 {"^*a", "ba", "1,1"}, {"\\`a\\'", "aa", "none"},
                 // Case folding folds the expression, not the text; upper-case
                 // ranges and classes name their members folded.
                 {"Hello World", "say hello world", "4,11", 0, 0, ERE_ICASE},
                 {"Hello World", "say Hello World", "none", 0, 0, ERE_ICASE},
                 {"[A-Z]+", "xyz", "0,3", 0, 0, ERE_ICASE}, {"[A-z]+", "q_[", "0,3", 0, 0, ERE_ICASE},
                 {"[[:upper:]]+", "ab", "0,2", 0, 0, ERE_ICASE}});
    // clang-format on
}

// Twenty groups; nesting, repeats and the automaton's fixed tables.
TEST(EreSyntax, LimitsOfGroupsNestingAndTheAutomaton) {
    std::string twenty, nested, kept, run = std::string(299, 'x') + "y", edges;
    for (int i = 0; i < 20; i++) twenty += "(a)", nested += "((a))";
    for (int i = 0; i < 10; i++) kept += "((a)\\1)";
    const std::string deep = std::string(1000, '(') + "a" + std::string(1000, ')');
    // Nested groups without a back-reference merge into one; a back-reference
    // at a group's level keeps the groups of that level.
    const std::pair<std::string, int> cases[] = {
        // clang-format off
        {twenty, 0}, {twenty + "(a)", 17}, {nested + "((a))", 17},
        {std::string(24, '(') + "a" + std::string(24, ')'), 0}, {kept, 0}, {kept + "(b)", 17},
        {deep, 0}, {"(" + deep + ")", 18}, {std::string(5000, '('), 18},
        {"a" + std::string(20000, '*'), 18}, {"a{250}", 18}};
    // clang-format on
    for (const auto &[pattern, code] : cases) EXPECT_EQ(error_of(pattern), code) << pattern.size();
    // Just within the limits: 4999 nodes nearly all in one chain, 249
    // states, and a run longer than one string edge.
    const std::string deepest = "(a" + std::string(4994, '*') + "){0}b", x_run = "x" + run;
    expect_rows({{deepest.c_str(), "ab", "1,1"},
                 {"a{248}b", (std::string(249, 'a') + "b").c_str(), "1,249"},
                 {run.c_str(), x_run.c_str(), "1,300"}});
    EXPECT_EQ(ere_min_len(compiled_ere(run.c_str()).ere), 300);
    // Each "[ab]?" adds an edge to every later one from its start: the
    // epsilon-free automaton of n of them holds about n*n/2 edges.
    while (error_of(edges + "[ab]?") == 0) edges += "[ab]?";
    EXPECT_TRUE(edges.size() > 40 * 5 && edges.size() < 60 * 5) << edges.size() / 5;
}

TEST(EreMemory, EveryFailedAllocationIsReportedAndNoFailedCompileLeavesMemory) {
    for (const char *pattern : {"[a-z]+(x|yz)*\\1", "(a)((b)\\2)[[:alpha:]]{2,3}"}) {
        int failures = 0;
        for (int n = 1; n < 100; n++, failures++) {
            ere_fail_allocation(n);
            compiled_ere c(pattern);
            ere_fail_allocation(0);
            if (c.ere) break;
            EXPECT_EQ(c.error, 1) << pattern << " allocation " << n;
        }
        EXPECT_TRUE(failures >= 3 && failures < 99) << pattern;
    }
    // Failures of every other kind, some late in the build (the sanitizers look for leaks).
    for (const char *pattern :
         {"(abc|[de]", "ab[cd]e)", "[[:nope:]]", "[ab]{300}", "(ab|[cd]){2}a{250}",
          "abc(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)(p)(q)(r)(s)(t)(u)(v)(w)(x)"})
        EXPECT_NE(error_of(pattern), 0) << pattern;
}

} // namespace
