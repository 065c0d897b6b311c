// The overall match of ere_match_fwd against the C library's POSIX regex on
// generated expressions of the syntax both share: both take the leftmost
// match and, from there, the longest.
#include "compiled.h"

#include <gtest/gtest.h>
#include <regex.h>

#include <random>
#include <string>

namespace {

struct Generator {
    std::mt19937 rng{20240607};

    int pick(int n) { return static_cast<int>(rng() % n); }

    std::string atom(int depth) {
        switch (depth > 0 ? pick(9) : pick(6)) {
        case 0: return ".";
        case 1: {
            const char *sets[] = {"[ab]", "[^a]", "[a-c]", "[^bc]", "[b]", "[c-d]"};
            return sets[pick(6)];
        }
        case 2:
        case 3: return std::string(1 + pick(2), "abc"[pick(3)]);
        case 4: return std::string(1, "abc"[pick(3)]) + "bca"[pick(3)] + "cab"[pick(3)];
        case 5: return std::string(1, "ab"[pick(2)]);
        default: return "(" + expression(depth - 1) + ")";
        }
    }

    std::string piece(int depth) {
        std::string a = atom(depth);
        switch (pick(10)) {
        case 0: return a + "*";
        case 1: return a + "+";
        case 2: return a + "?";
        case 3: {
            int m = pick(3);
            switch (pick(3)) {
            case 0: return a + "{" + std::to_string(m) + "}";
            case 1: return a + "{" + std::to_string(m) + ",}";
            default: return a + "{" + std::to_string(m) + "," + std::to_string(m + pick(3)) + "}";
            }
        }
        default: return a;
        }
    }

    // Anchors stand only at the ends of top-level branches: the C library
    // goes wrong on some expressions with anchors inside repeated groups.
    std::string branch(int depth, bool top) {
        std::string b = top && !pick(4) ? "^" : "";
        for (int n = 1 + pick(3); n > 0; n--) b += piece(depth);
        return top && !pick(4) ? b + "$" : b;
    }

    std::string expression(int depth, bool top = false) {
        std::string e = branch(depth, top);
        while (pick(4) == 0) e += "|" + branch(depth, top);
        return e;
    }

    std::string text() {
        std::string t;
        for (int n = pick(12); n > 0; n--) t += "abcd"[pick(4)];
        return t;
    }
};

TEST(ErePosixDiff, OverallMatchAgreesWithRegexec) {
    Generator gen;
    int compared = 0, found = 0, too_complex = 0;
    for (int i = 0; i < 3000; i++) {
        std::string pattern = gen.expression(2, true);
        Compiled ours(pattern.c_str());
        if (ours.error == 18) {
            too_complex++;
            continue;
        }
        ASSERT_NE(ours.ere, nullptr) << pattern << ": " << ere_error(ours.error);
        regex_t posix;
        ASSERT_EQ(regcomp(&posix, pattern.c_str(), REG_EXTENDED), 0) << pattern;
        for (int t = 0; t < 6; t++) {
            std::string text = gen.text();
            int offset = text.empty() ? 0 : gen.pick(static_cast<int>(text.size()) + 1) / 3;
            regmatch_t m[1];
            int theirs = regexec(&posix, text.c_str() + offset, 1, m, offset ? REG_NOTBOL : 0);
            int at = -1, length = -1;
            int mine = ere_match_fwd(ours.ere, 0, text.c_str(), offset, &at, &length, nullptr);
            ASSERT_EQ(mine, theirs == 0) << pattern << " on \"" << text << "\" from " << offset;
            if (mine) {
                ASSERT_EQ(at, offset + m[0].rm_so)
                    << pattern << " on \"" << text << "\" from " << offset;
                ASSERT_EQ(length, m[0].rm_eo - m[0].rm_so)
                    << pattern << " on \"" << text << "\" from " << offset;
                found++;
            }
            compared++;
        }
        regfree(&posix);
    }
    EXPECT_GT(found, compared / 4);
    EXPECT_LT(too_complex, 100);
}

} // namespace
