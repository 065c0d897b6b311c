// Generated expressions: neither skipping start positions nor finding matches
// with the deterministic automata ever changes a result. (That the overall
// match agrees with the C library's regexec on the syntax both share is
// checked by fuzz/ere_fuzz.)
#include "compiled.h"
#include "ere/compiled.h"
#include "ere/dfa.h"

#include <cstring>
#include <memory>
#include <random>

namespace {

struct pattern_generator {
    std::mt19937 rng;

    int pick(int n) { return static_cast<int>(rng() % n); }

    std::string piece(int depth) {
        static const char *const common[] = {".", "[ab]", "[^a]", "[a-c]", "[^bc]", "a",
                                             "b", "c",    "ab",   "bca",   "cc"};
        static const char *const ours[] = {"\\w", "\\W", "~a", "^",   "$", "\\<", "\\>",
                                           "\\B", "\\y", " ",  "\\(", "_", "x"};
        static const char *const quantifiers[] = {"",  "",    "",      "*",    "+",
                                                  "?", "{2}", "{0,2}", "{1,}", "{0}"};
        std::string atom = depth > 0 && !pick(4) ? "(" + expression(depth - 1) + ")"
                           : pick(2)             ? ours[pick(13)]
                                                 : common[pick(11)];
        return atom + quantifiers[pick(10)];
    }

    std::string expression(int depth) {
        std::string e;
        for (int n = 1 + pick(3); n > 0; n--) e += piece(depth);
        if (!pick(5)) e += "\\1";
        return pick(4) ? e : e + "|" + expression(depth > 0 ? depth - 1 : 0);
    }

    std::string text(const char *letters) {
        std::string t;
        for (int n = pick(14); n > 0; n--)
            t += letters[pick(static_cast<int>(std::strlen(letters)))];
        return t;
    }
};

// Every forward and backward search and every match at each position of the text.
std::string search_all(ERE *ere, const std::string &text, int flags) {
    std::string out;
    for (int p = 0; p <= static_cast<int>(text.size()); p++) {
        for (search_entry entry : {FORWARD, BACKWARD, AT})
            out += search(ere, {"", text.c_str(), "", p, flags}, entry, MATCH_AND_SPANS) + " ";
        // The longest match at a point without its spans, which the automata find alone.
        out += std::to_string(ere_match(ere, flags, text.c_str(), p, nullptr)) + " ";
    }
    return out;
}

// A handle that walks from every start position: no prefilter, no automata.
void walk_everywhere(ERE *ere) {
    prefilter_set &pre = ere->prefilter;
    pre.can_be_empty = true;
    pre.text_start_only = pre.start_decides = false;
    pre.required_byte = -1;
    pre.skip_count = pre.pair_count = 0;
    ere->dfa_use = DFA_UNUSED;
}

// Skipping start positions, and finding them with the deterministic automata,
// give what walking from every position gives, spans included.
TEST(EreRandom, ShortcutsNeverChangeResults) {
    pattern_generator gen{std::mt19937(777)};
    int found = 0, by_automata = 0;
    for (int i = 0; i < 500; i++) {
        std::string pattern = gen.expression(2);
        compiled_ere full(pattern.c_str()), backwards(pattern.c_str()), midway(pattern.c_str()),
            filtered(pattern.c_str()), everywhere(pattern.c_str());
        if (!full.ere) continue;
        backwards.ere->tries_beyond_length = -1000; // the first start always found backwards
        midway.ere->tries_beyond_length = -4;       // after a few tries, often at the very end
        filtered.ere->dfa_use = DFA_UNUSED;
        walk_everywhere(everywhere.ere);
        for (int t = 0; t < 4; t++) {
            std::string text = gen.text("aab_ (x");
            int flags = gen.pick(3) ? 0 : ERE_SHORTEST;
            std::string expected = search_all(everywhere.ere, text, flags);
            ASSERT_EQ(search_all(filtered.ere, text, flags), expected)
                << pattern << " in \"" << text << "\"";
            ASSERT_EQ(search_all(full.ere, text, flags), expected)
                << pattern << " in \"" << text << "\"";
            ASSERT_EQ(search_all(backwards.ere, text, flags), expected)
                << pattern << " in \"" << text << "\" backwards";
            ASSERT_EQ(search_all(midway.ere, text, flags), expected)
                << pattern << " in \"" << text << "\" midway";
            found += expected.find(',') != std::string::npos;
            // Without a back-reference, the parse alone tells a whole match.
            bool whole = ere_match(full.ere, 0, text.c_str(), 0, nullptr) == int(text.size());
            if (pattern.find("\\1") == std::string::npos) {
                ASSERT_EQ(ere_may_match_whole(pattern.c_str(), 0, text.c_str()), whole)
                    << pattern << " whole \"" << text << "\"";
            }
        }
        by_automata += full.ere->dfa_use == DFA_READY;
    }
    EXPECT_GT(found, 500);
    EXPECT_GT(by_automata, 250);
}

// Automata with more states than their caches hold empty them as they go
// and still find what the walk finds.
TEST(EreRandom, AutomataOutgrowingTheirCaches) {
    std::mt19937 rng(99);
    std::string text;
    for (int i = 0; i < 300; i++) text += "ab"[rng() % 2];
    text += "x";
    for (int most : {2, 5, 40}) {
        dfa_cap_cache(most);
        for (const char *pattern : {"(a|b)*a(a|b){5}x", "a(a|b){5}b", "\\<b[ab]{6}\\>"}) {
            compiled_ere full(pattern), backwards(pattern), walked(pattern);
            backwards.ere->tries_beyond_length = -1000;
            walk_everywhere(walked.ere);
            for (int at : {0, 1, 150, 296, 301}) {
                for (search_entry entry : {FORWARD, BACKWARD}) {
                    search_row row = {pattern, text.c_str(), "", at};
                    std::string expected = search(walked.ere, row, entry, MATCH_AND_SPANS);
                    EXPECT_EQ(search(full.ere, row, entry, MATCH_AND_SPANS), expected)
                        << pattern << " at " << at << " holding " << most;
                    EXPECT_EQ(search(backwards.ere, row, entry, MATCH_AND_SPANS), expected)
                        << pattern << " at " << at << " holding " << most;
                }
            }
            EXPECT_EQ(full.ere->dfa_use, DFA_READY);
        }
    }
    dfa_cap_cache(0);
}

} // namespace
