// The accepted syntax, its error codes and messages, and min lengths.
#include "compiled.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int error_of(const char *pattern, int flags = 0) {
    return Compiled(pattern, flags).error;
}

// Whether pattern matches the whole of text from its start.
bool matches_all(const char *pattern, const std::string &text, int flags = 0) {
    Compiled c(pattern, flags);
    return c.ere && ere_match(c.ere, 0, text.c_str(), 0, nullptr) == static_cast<int>(text.size());
}

TEST(EreSyntax, Messages) {
    EXPECT_EQ(ere_error(0), nullptr);
    EXPECT_STREQ(ere_error(1), "out of memory");
    EXPECT_STREQ(ere_error(18), "too complex");
    EXPECT_STREQ(ere_error(22), "bad '\\' in substitution string");
    EXPECT_STREQ(ere_error(24), "substituted string is too long");
    EXPECT_EQ(ere_error(25), nullptr);
    EXPECT_EQ(ere_error(-1), nullptr);
    for (int code = 1; code <= 24; code++) EXPECT_NE(ere_error(code), nullptr);
}

TEST(EreSyntax, ParseErrors) {
    struct Case {
        const char *pattern;
        int code;
    } cases[] = {
        {"(a", 2},
        {"((a)", 2},
        {"[-a]", 3},
        {"[^-a]", 3},
        {"[[:alpha:]-z]", 3},
        {"[a-]", 4},
        {"[a-", 4},
        {"[a-\\", 4},
        {"[a", 5},
        {"[", 5},
        {"[a\\", 5},
        {"[]", 0},
        {"[]a]", 6},
        {"a]", 6},
        {"a)", 7},
        {"(a))", 7},
        {"?a", 8},
        {"(+)", 9},
        {"*a", 10},
        {"a|*", 10},
        {"{1}", 11},
        {"}", 12},
        {"a{", 13},
        {"a{x}", 13},
        {"a{,2}", 13},
        {"a{2,x}", 14},
        {"a{2", 15},
        {"a{2,3", 15},
        {"a{2 }", 15},
        {"a{3,2}", 16},
        {"[[.a.]]", 19},
        {"[[=a=]]", 20},
        {"[[:foo:]]", 21},
        {"[[:alpha]]", 21},
        {"[[:ALPHA:]]", 21},
    };
    for (const Case &c : cases) EXPECT_EQ(error_of(c.pattern), c.code) << c.pattern;
}

TEST(EreSyntax, SuccessStoresZeroAndFailureReturnsNull) {
    int code = 99;
    ERE *ere = ere_compile("a", 0, &code);
    EXPECT_NE(ere, nullptr);
    EXPECT_EQ(code, 0);
    ere_discard(ere);
    EXPECT_EQ(ere_compile("a{", 0, &code), nullptr);
    EXPECT_EQ(code, 13);
    EXPECT_EQ(ere_compile("a{", 0, nullptr), nullptr);
    ere_discard(nullptr);
}

TEST(EreSyntax, EmptyExpressionsAndAlternatives) {
    Compiled empty("");
    ASSERT_NE(empty.ere, nullptr);
    EXPECT_EQ(ere_min_len(empty.ere), 0);
    EXPECT_EQ(find("", "abc", 1), "1,0");
    EXPECT_EQ(find("a|", "b"), "0,0");
    EXPECT_EQ(find("(|a)", "a"), "0,1");
    EXPECT_EQ(find("()", "x"), "0,0");
}

TEST(EreSyntax, CountedRepetition) {
    EXPECT_TRUE(matches_all("a{2,}", "aaaaaaa"));
    EXPECT_FALSE(matches_all("a{2,}", "a"));
    EXPECT_TRUE(matches_all("a{0}", ""));
    EXPECT_EQ(find("a{0}", "aaa"), "0,0");
    EXPECT_EQ(find("a{0,0}", "aaa"), "0,0");
    EXPECT_EQ(find("a{2,3}", "aaaa"), "0,3");
    EXPECT_EQ(find("ba{2}", "baaa"), "0,3");
    EXPECT_EQ(find("(ab){2}", "ababab"), "0,4");
    // A count too large to write is not wrapped round to a small one.
    EXPECT_EQ(error_of("a{4294967297}"), 18);
    EXPECT_EQ(error_of("a{1,4294967295}"), 18);
}

TEST(EreSyntax, BracketExpressions) {
    EXPECT_EQ(find("[c-a]", "abc"), "2,1");
    EXPECT_EQ(find("[\\]]", "a]"), "1,1");
    EXPECT_EQ(find("[a-c-e]+", "xabcdef"), "1,5");
    EXPECT_EQ(find("[^a]", "a"), "none");
    EXPECT_EQ(find("[]", "abc"), "none");
    EXPECT_EQ(find("[^]", "abc"), "0,1");
    EXPECT_EQ(find("[^]", ""), "none");
    EXPECT_EQ(find("[a^]+", "x^a^"), "1,3");
    EXPECT_EQ(find("[[a]+", "x[a["), "1,3");
    EXPECT_EQ(find("[\\t\\-]+", "x\t-"), "1,2");
    EXPECT_EQ(find("[\\w]", "\\w"), "1,1");
    EXPECT_EQ(find("[\\x41-\\x43]+", "zABCD"), "1,3");
    EXPECT_EQ(find("[[:digit:][:blank:]]+", "x1 2\t3y"), "1,5");
    EXPECT_EQ(find("[^[:alnum:]]", "ab1_"), "3,1");
    EXPECT_EQ(find("[\xe9]", "caf\xe9"), "3,1");
    EXPECT_EQ(find("[[:upper:]]", "abC"), "2,1");
}

TEST(EreSyntax, EscapesOutsideBrackets) {
    EXPECT_EQ(find("\\t\\e\\f\\n\\r\\b", "x\t\x1b\f\n\r\b"), "1,6");
    EXPECT_EQ(find("\\x41\\x4a\\x4Bz", "AJKz"), "0,4");
    EXPECT_EQ(find("\\x9", "\t"), "0,1");
    EXPECT_EQ(find("\\xg", "xg"), "0,2");
    EXPECT_EQ(find("\\.\\0\\\\", "a.0\\"), "1,3");
    EXPECT_EQ(find("a\\.", "ab a."), "3,2");
    // An escape of value 0 or a backslash at the very end ends the expression.
    EXPECT_EQ(find("ab\\x00cd", "ab"), "0,2");
    EXPECT_EQ(find("ab\\", "xab"), "1,2");
    EXPECT_EQ(error_of("(a\\"), 2);
}

TEST(EreSyntax, ExcludedCharacters) {
    EXPECT_EQ(find("~.", "..a"), "2,1");
    EXPECT_EQ(find("~\\t", "\tb"), "1,1");
    EXPECT_EQ(find("~\\w", "wx"), "1,1");
    EXPECT_EQ(find("~a", "a"), "none");
    EXPECT_EQ(find("a~", "ba~"), "1,2");
    // A "~" before a lone backslash at the end is the character "~".
    EXPECT_EQ(find("a~\\", "ba~"), "1,2");
    EXPECT_EQ(find("~\\x00", "~"), "0,1");
    EXPECT_EQ(find("~*b", "*byb"), "2,2");
}

TEST(EreSyntax, LiteralRuns) {
    // A quantifier after a run binds to its last character only.
    EXPECT_EQ(find("abc*", "abd"), "0,2");
    EXPECT_EQ(find("abc+", "abccc"), "0,5");
    EXPECT_EQ(find("a<b>c", "xa<b>c"), "1,5");
    std::string run(300, 'x');
    run[299] = 'y';
    Compiled c(run.c_str());
    ASSERT_NE(c.ere, nullptr);
    EXPECT_EQ(ere_min_len(c.ere), 300);
    EXPECT_EQ(ere_match(c.ere, 0, ("x" + run).c_str(), 1, nullptr), 300);
    EXPECT_EQ(ere_match(c.ere, 0, ("x" + run).c_str(), 0, nullptr), -1);
}

TEST(EreSyntax, CaseFoldingFoldsLiteralsAndMembers) {
    EXPECT_TRUE(matches_all("ABC", "abc", ERE_ICASE));
    EXPECT_FALSE(matches_all("ABC", "ABC", ERE_ICASE));
    EXPECT_TRUE(matches_all("[AB]+", "ab", ERE_ICASE));
    EXPECT_TRUE(matches_all("~A", "a", 0));
    EXPECT_FALSE(matches_all("~A", "a", ERE_ICASE));
    // Upper-case ranges and classes name their members folded.
    EXPECT_TRUE(matches_all("[A-Z]+", "xyz", ERE_ICASE));
    EXPECT_TRUE(matches_all("[a-z]+", "xyz", ERE_ICASE));
    EXPECT_TRUE(matches_all("[A-z]+", "q_[", ERE_ICASE));
    EXPECT_FALSE(matches_all("[a-Z]", "b", ERE_ICASE));
    EXPECT_TRUE(matches_all("[[:upper:]]+", "ab", ERE_ICASE));
    EXPECT_FALSE(matches_all("[^[:upper:]]", "a", ERE_ICASE));
}

TEST(EreSyntax, AnchorsAnywhere) {
    EXPECT_EQ(error_of("a^b"), 0);
    EXPECT_EQ(find("a^b", "ab a^b"), "none");
    EXPECT_EQ(error_of("^*"), 0);
    EXPECT_EQ(find("^*a", "ba"), "1,1");
    EXPECT_EQ(find("(^|x)a", "xa"), "0,2");
    EXPECT_EQ(find("\\`a\\'", "a"), "0,1");
    EXPECT_EQ(find("\\`a\\'", "aa"), "none");
}

TEST(EreSyntax, GroupLimit) {
    std::string twenty, twenty_one;
    for (int i = 0; i < 20; i++) twenty += "(a)";
    twenty_one = twenty + "(a)";
    EXPECT_EQ(error_of(twenty.c_str()), 0);
    EXPECT_EQ(error_of(twenty_one.c_str()), 17);
    // Nested groups without a back-reference merge into one.
    std::string nested;
    for (int i = 0; i < 20; i++) nested += "((a))";
    EXPECT_EQ(error_of((nested + "((a))").c_str()), 17);
    EXPECT_EQ(error_of("((((((((((((((((((((((((a))))))))))))))))))))))))"), 0);
    // A back-reference at a group's level keeps the groups of that level.
    std::string kept;
    for (int i = 0; i < 10; i++) kept += "((a)\\1)";
    EXPECT_EQ(error_of(kept.c_str()), 0);
    EXPECT_EQ(error_of((kept + "(b)").c_str()), 17);
}

TEST(EreSyntax, MinLength) {
    struct Case {
        const char *pattern;
        int length;
    } cases[] = {
        {"", 0},       {"a", 1},     {"abcd", 4},       {"a?", 0},
        {"a*b", 1},    {"(ab)+", 2}, {"a{3}b", 4},      {"(ab){2,5}", 4},
        {"ab|c", 1},   {"a|bc", 1},  {"[ab]~c.\\w", 4}, {"^$\\<\\>\\B\\y", 0},
        {"(a)\\1", 1}, {"a{0}", 0},
    };
    for (const Case &c : cases) {
        Compiled compiled(c.pattern);
        ASSERT_NE(compiled.ere, nullptr) << c.pattern;
        EXPECT_EQ(ere_min_len(compiled.ere), c.length) << c.pattern;
    }
}

TEST(EreSyntax, AbsurdlyDeepExpressionsAreTooComplex) {
    std::string deep(5000, '(');
    EXPECT_EQ(error_of(deep.c_str()), 18);
    std::string stars = "a" + std::string(20000, '*');
    EXPECT_EQ(error_of(stars.c_str()), 18);
    // Just within the parse limits: 4999 nodes, nearly all in one chain.
    std::string deepest = "(a" + std::string(4994, '*') + "){0}b";
    EXPECT_EQ(find(deepest.c_str(), "ab"), "1,1");
    std::string nested = std::string(1000, '(') + "a" + std::string(1000, ')');
    EXPECT_EQ(error_of(nested.c_str()), 0);
    EXPECT_EQ(error_of(("(" + nested + ")").c_str()), 18);
}

} // namespace
