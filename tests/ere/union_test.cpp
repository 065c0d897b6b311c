// What choosing among many expressions takes: the union of several patterns,
// where the next match starts, the bytes matches begin with and hold, a
// pattern checked without compiling.
#include "compiled.h"

#include <vector>

namespace {

TEST(EreUnion, MatchesWhereAnyPatternMatchesEachReadAsItselfAlone) {
    struct {
        std::vector<const char *> patterns;
        const char *text, *expected; // what ere_match_fwd finds from 0
    } cases[] = {
        {{"a+", "b"}, "xaab", "1,2"},
        {{"x~", "y"}, "ax~", "1,2"}, // joined as text, "x~|y"
                                     // would be x, any but "|", y
        {{"(a)\\1", "b"}, "xaa", "1,2"},
        {{"a", "(b"}, "", "error 2"},
        {{}, "ab", "0,0"},
    };
    for (const auto &c : cases) {
        int error = 0;
        ERE *any =
            ere_compile_any(c.patterns.data(), static_cast<int>(c.patterns.size()), 0, &error);
        EXPECT_EQ(any ? search(any, {"", c.text, ""}) : "error " + std::to_string(error),
                  c.expected);
        ere_discard(any);
    }
    compiled_ere either("ab|b");
    EXPECT_EQ(ere_match_start(either.ere, "xxab", 0), 2);
    EXPECT_EQ(ere_match_start(either.ere, "xxab", 4), -1);
}

TEST(EreUnion, BytesMatchesBeginWithAndHoldAndPatternsChecked) {
    auto printable = [](const unsigned char *set) {
        std::string s;
        for (int b = ' '; b < 127; b++)
            if (set[b >> 3] >> (b & 7) & 1) s += static_cast<char>(b);
        return s;
    };
    compiled_ere keyword("\\<(if|int)\\>"), quoted("\"[^\"]*\"");
    unsigned char first[32], bytes[32];
    ere_first_bytes(keyword.ere, first);
    ere_bytes(keyword.ere, bytes);
    EXPECT_EQ(printable(first) + " " + printable(bytes), "i fint");
    ere_bytes(quoted.ere, bytes);
    EXPECT_EQ(printable(bytes).size(), 95u);
    int min = -1;
    EXPECT_EQ(ere_check("(x", 0, &min), 2);
    EXPECT_EQ(ere_check("a*|bc", 0, &min), 0);
    EXPECT_EQ(min, 0);
}

} // namespace
