// Test helpers: an owned compiled expression and readable match results.
#pragma once

#include "ere/ere.h"

#include <string>
#include <utility>
#include <vector>

struct Compiled {
    ERE *ere;
    int error;

    explicit Compiled(const char *pattern, int flags = 0)
        : ere(ere_compile(pattern, flags, &error)) {}
    Compiled(const Compiled &) = delete;
    Compiled &operator=(const Compiled &) = delete;
    ~Compiled() { ere_discard(ere); }
};

using Spans = std::vector<std::pair<int, int>>;

inline Spans spans_of(const ERE_SUBS &subs) {
    Spans spans;
    for (int i = 0; i < subs.count && i < 9; i++)
        spans.emplace_back(subs.span[i].offset, subs.span[i].length);
    return spans;
}

// The forward match of pattern in text as "offset,length", or "none".
inline std::string find(const char *pattern, const char *text, int offset = 0, int flags = 0) {
    Compiled c(pattern);
    if (!c.ere) return "error " + std::to_string(c.error);
    int at = -1, length = -1;
    if (!ere_match_fwd(c.ere, flags, text, offset, &at, &length, nullptr)) return "none";
    return std::to_string(at) + "," + std::to_string(length);
}
