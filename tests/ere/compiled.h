// Test helpers: an owned compiled expression, and searches shown as short
// texts so that tables of them read as what the user would see.
#pragma once

#include "ere/ere.h"

#include <gtest/gtest.h>

#include <string>

struct compiled_ere {
    ERE *ere;
    int error;

    explicit compiled_ere(const char *pattern, int flags = 0)
        : ere(ere_compile(pattern, flags, &error)) {}
    compiled_ere(const compiled_ere &) = delete;
    compiled_ere &operator=(const compiled_ere &) = delete;
    ~compiled_ere() { ere_discard(ere); }
};

// The spans of a match, "(offset,length)" each; only nine are ever written.
inline std::string spans_of(const ERE_SUBS &subs) {
    std::string out;
    for (int i = 0; i < subs.count && i < 9; i++)
        out += "(" + std::to_string(subs.span[i].offset) + "," +
               std::to_string(subs.span[i].length) + ")";
    return out;
}

// One search and what it finds: "offset,length" from ere_match_fwd or
// ere_match_bwd, "none" when they find nothing, the length (or -1) from
// ere_match; the spans follow when they are shown; "error N" when the
// pattern does not compile.
struct search_row {
    const char *pattern, *text, *expected;
    int at = 0;     // the offset a search starts at; a backward search's limit
    int flags = 0;  // match flags
    int cflags = 0; // compile flags
};

enum search_entry { FORWARD, BACKWARD, AT };
enum search_shows { MATCH, MATCH_AND_SPANS };

inline std::string search(ERE *ere, const search_row &row, search_entry entry = FORWARD,
                          search_shows shows = MATCH) {
    int at = -1, length = -1;
    ERE_SUBS subs = {};
    std::string out;
    if (entry == AT) {
        out = std::to_string(ere_match(ere, row.flags, row.text, row.at, &subs));
    } else {
        auto find = entry == FORWARD ? ere_match_fwd : ere_match_bwd;
        if (!find(ere, row.flags, row.text, row.at, &at, &length, &subs)) return "none";
        out = std::to_string(at) + "," + std::to_string(length);
    }
    return shows == MATCH ? out : out + spans_of(subs);
}

inline std::string search(const search_row &row, search_entry entry = FORWARD,
                          search_shows shows = MATCH) {
    compiled_ere c(row.pattern, row.cflags);
    return c.ere ? search(c.ere, row, entry, shows) : "error " + std::to_string(c.error);
}

inline void expect_rows(std::initializer_list<search_row> rows, search_entry entry = FORWARD,
                        search_shows shows = MATCH) {
    for (const search_row &row : rows)
        EXPECT_EQ(search(row, entry, shows), row.expected)
            << row.pattern << " in \"" << row.text << "\" at " << row.at;
}

// While it lives, a poll that counts its calls and asks to give up from the
// stop_after-th on (0: never).
struct poll_guard {
    static inline int polls, stop_after;
    explicit poll_guard(int stop) {
        polls = 0;
        stop_after = stop;
        ere_set_poll([]() -> int { return ++polls >= stop_after && stop_after > 0; });
    }
    ~poll_guard() { ere_set_poll(nullptr); }
};
