// Skipping start positions never changes a result: every search gives the
// same answer with the handle's prefilter as with one that lets every
// position through.
#include "compiled.h"
#include "ere/compiled.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

void let_everything_through(Prefilter *pre) {
    pre->can_be_empty = true;
    pre->text_start_only = false;
    pre->required_byte = -1;
    pre->start_decides = false;
    pre->skip_count = 0;
    pre->pair_count = 0;
}

struct Generator {
    std::mt19937 rng{777};

    int pick(int n) { return static_cast<int>(rng() % n); }

    std::string piece(int depth) {
        static const char *const atoms[] = {"a",   "b",   "ab",  "abc", "_",   "[ab]", "[^a]",
                                            ".",   "\\w", "\\W", "~a",  "^",   "$",    "\\<",
                                            "\\>", "\\B", "\\y", " ",   "\\(", "x"};
        std::string a =
            depth > 0 && pick(4) == 0 ? "(" + expression(depth - 1) + ")" : atoms[pick(20)];
        static const char *const quantifiers[] = {"", "", "", "*", "+", "?", "{2}", "{0,2}"};
        return a + quantifiers[pick(8)];
    }

    std::string expression(int depth) {
        std::string e;
        for (int n = 1 + pick(3); n > 0; n--) e += piece(depth);
        if (pick(5) == 0) e += "\\1";
        if (pick(4) == 0) e += "|" + expression(depth > 0 ? depth - 1 : 0);
        return e;
    }

    std::string text() {
        std::string t;
        for (int n = pick(14); n > 0; n--) t += "aab_ (x"[pick(7)];
        return t;
    }
};

std::string search_all(ERE *ere, const std::string &text, int flags) {
    std::string out;
    for (int p = 0; p <= static_cast<int>(text.size()); p++) {
        ERE_SUBS subs = {};
        int at = -1, length = -1;
        int found = ere_match_fwd(ere, flags, text.c_str(), p, &at, &length, &subs);
        out +=
            "f" + std::to_string(found) + ":" + std::to_string(at) + "," + std::to_string(length);
        for (auto [o, l] : spans_of(subs))
            out += "(" + std::to_string(o) + "," + std::to_string(l) + ")";
        found = ere_match_bwd(ere, flags, text.c_str(), p, &at, &length, &subs);
        out +=
            " b" + std::to_string(found) + ":" + std::to_string(at) + "," + std::to_string(length);
        out += " m" + std::to_string(ere_match(ere, flags, text.c_str(), p, nullptr)) + "\n";
    }
    return out;
}

TEST(ErePrefilter, SkippingNeverChangesResults) {
    Generator gen;
    int found = 0;
    for (int i = 0; i < 400; i++) {
        std::string pattern = gen.expression(2);
        Compiled filtered(pattern.c_str()), unfiltered(pattern.c_str());
        if (!filtered.ere) continue;
        let_everything_through(&unfiltered.ere->prefilter);
        for (int t = 0; t < 4; t++) {
            std::string text = gen.text();
            int flags = gen.pick(3) == 0 ? ERE_SHORTEST : 0;
            std::string expected = search_all(unfiltered.ere, text, flags);
            ASSERT_EQ(search_all(filtered.ere, text, flags), expected)
                << pattern << " on \"" << text << "\"";
            if (expected.find("f1") != std::string::npos) found++;
        }
    }
    EXPECT_GT(found, 400);
}

TEST(ErePrefilter, SkipsIdentifiersWhole) {
    // After a failed walk from the start of an identifier, no walk starts
    // inside it; the result is the same either way.
    EXPECT_EQ(find("[a-z_]+\\(", "foo bar_baz qux(1)"), "12,4");
    EXPECT_EQ(find("[a-z_]+\\(", "foo bar_baz qux 1)"), "none");
    EXPECT_EQ(find("\\w+\\(", "a.b(c"), "2,2");
    EXPECT_EQ(find("while|for", "fork whale while"), "0,3");
    EXPECT_EQ(find("while|for", "fo wh whi whil while"), "15,5");
}

} // namespace
