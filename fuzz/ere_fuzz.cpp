// The expression engine on any bytes: compiled with any flags, matched
// forwards, backwards and at every position, substituted; searches through
// the deterministic automata are compared with the walk alone, spans
// included; a text found not to match whole from the pattern alone must
// not be matched whole; on the syntax the C library shares, the overall match is
// compared with regexec.
//
// Input: a flags byte (bit 0 ERE_ICASE, bit 1 ERE_SHORTEST, bit 2
// ERE_NO_EXTEND), then the expression, the text and the replacement, each
// ended by a NUL byte (a missing one ends the input).
#include "ere/compiled.h"
#include "ere/ere.h"

#include <regex.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A walk may cost exponential time; past this many polls it is given up.
int polls;
int give_up() {
    return ++polls > 200;
}

// Takes the bytes up to the next NUL (or the end) as one field.
std::string field(const uint8_t *&p, const uint8_t *end) {
    const uint8_t *start = p;
    while (p < end && *p) p++;
    std::string s(reinterpret_cast<const char *>(start), static_cast<size_t>(p - start));
    if (p < end) p++;
    return s;
}

// Whether both engines read the expression the same way: literals, ".",
// plain bracket expressions, groups, "|" and the repetitions with small
// counts. Anchors, escapes, "~", classes and the edge forms of brackets
// ("[]", "[^]") and braces mean different things in the two dialects.
bool in_common_syntax(const std::string &e) {
    for (size_t i = 0; i < e.size(); i++) {
        char c = e[i];
        if (!std::strchr("abcd.[]-()|*+?{},0123456789", c)) return false;
        // A repetition of a repetition ("a*++++") costs the C library time
        // exponential in their number: minutes for a short pattern.
        if (std::strchr("*+?{", c) && i > 0 && std::strchr("*+?}", e[i - 1])) return false;
        if (c == '[' && i + 1 < e.size() && (e[i + 1] == ']' || e[i + 1] == '^')) return false;
        if (c == '[' && e.compare(i, 3, "[^]") == 0) return false;
        if (c == '{') {
            // "{m}", "{m,}" or "{m,n}" with one digit each, after an atom.
            size_t j = i + 1;
            if (i == 0 || std::strchr("(|{", e[i - 1])) return false;
            if (j >= e.size() || !std::isdigit(static_cast<unsigned char>(e[j]))) return false;
            j++;
            if (j < e.size() && e[j] == ',') {
                j++;
                if (j < e.size() && std::isdigit(static_cast<unsigned char>(e[j]))) j++;
            }
            if (j >= e.size() || e[j] != '}') return false;
            i = j;
        } else if (c == '}' || c == ',' || std::isdigit(static_cast<unsigned char>(c))) {
            return false; // outside braces
        }
    }
    return true;
}

// One search forwards or backwards as "offset,length(spans)", "none", or
// "gave up".
std::string search(ERE *ere, bool forwards, const std::string &text, int offset) {
    int at = -1, length = -1;
    ERE_SUBS subs{};
    polls = 0;
    int found = (forwards ? ere_match_fwd : ere_match_bwd)(ere, 0, text.c_str(), offset, &at,
                                                           &length, &subs);
    if (ere_aborted()) return "gave up";
    if (!found) return "none";
    std::string out = std::to_string(at) + "," + std::to_string(length);
    for (int i = 0; i < subs.count && i < 9; i++)
        out += "(" + std::to_string(subs.span[i].offset) + "," +
               std::to_string(subs.span[i].length) + ")";
    return out;
}

// The same searches with the walk alone, from every start position.
void compare_with_the_walk(ERE *ere, const std::string &pattern, int cflags,
                           const std::string &text) {
    ERE *walker = ere_compile(pattern.c_str(), cflags, nullptr);
    if (!walker) std::abort();
    walker->dfa_use = DFA_UNUSED;
    for (int offset = 0; offset <= static_cast<int>(text.size()); offset++) {
        for (bool forwards : {true, false}) {
            std::string ours = search(ere, forwards, text, offset);
            std::string walked = search(walker, forwards, text, offset);
            if (ours != walked && ours != "gave up" && walked != "gave up") {
                std::fprintf(stderr, "\"%s\" in \"%s\" %s from %d: %s, the walk %s\n",
                             pattern.c_str(), text.c_str(), forwards ? "forwards" : "backwards",
                             offset, ours.c_str(), walked.c_str());
                std::abort();
            }
        }
    }
    ere_discard(walker);
}

void compare_with_regexec(ERE *ere, const std::string &pattern, const std::string &text) {
    regex_t posix;
    if (regcomp(&posix, pattern.c_str(), REG_EXTENDED) != 0) return;
    for (int offset = 0; offset <= static_cast<int>(text.size()); offset++) {
        regmatch_t m[1];
        bool found = regexec(&posix, text.c_str() + offset, 1, m, offset ? REG_NOTBOL : 0) == 0;
        int at = -1, length = -1;
        polls = 0;
        bool ours = ere_match_fwd(ere, 0, text.c_str(), offset, &at, &length, nullptr);
        if (ere_aborted()) continue;
        if (found != ours ||
            (found && (at != offset + m[0].rm_so || length != m[0].rm_eo - m[0].rm_so))) {
            std::fprintf(stderr, "\"%s\" in \"%s\" at %d: regexec %d,%d, ours %d,%d\n",
                         pattern.c_str(), text.c_str(), offset,
                         found ? offset + static_cast<int>(m[0].rm_so) : -1,
                         found ? static_cast<int>(m[0].rm_eo - m[0].rm_so) : -1, ours ? at : -1,
                         ours ? length : -1);
            std::abort();
        }
    }
    regfree(&posix);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1 || size > 2000) return 0;
    const uint8_t *p = data + 1, *end = data + size;
    int flags = data[0];
    std::string pattern = field(p, end), text = field(p, end), replacement = field(p, end);
    if (text.size() > 500) text.resize(500);
    ere_set_poll(give_up);
    int error = -1;
    ERE *ere = ere_compile(pattern.c_str(), flags & 1 ? ERE_ICASE : 0, &error);
    if (!ere) {
        if (error < 1 || error > 21 || !ere_error(error)) std::abort();
        return 0;
    }
    int mflags = flags >> 1 & 3;
    int n = static_cast<int>(text.size());
    for (int offset = 0; offset <= n; offset++) {
        ERE_SUBS subs{};
        polls = 0;
        int length = ere_match(ere, mflags, text.c_str(), offset, &subs);
        if (length < -1 || offset + length > n) std::abort();
        int at = -1;
        polls = 0;
        if (ere_match_fwd(ere, mflags, text.c_str(), offset, &at, &length, &subs)) {
            if (at < offset || length < 0 || at + length > n) std::abort();
            char out[501];
            int code = 0;
            if (!ere_subs_with(text.c_str(), at, length, &subs, replacement.c_str(), out, 500,
                               &code) &&
                (code < 22 || code > 24))
                std::abort();
        }
        polls = 0;
        if (ere_match_bwd(ere, mflags, text.c_str(), offset, &at, &length, &subs)) {
            if (at < 0 || length < 0 || at + length > offset) std::abort();
        }
    }
    // A text the pattern is said not to match whole is not matched whole.
    polls = 0;
    if (!ere_may_match_whole(pattern.c_str(), flags & 1 ? ERE_ICASE : 0, text.c_str()) &&
        ere_match(ere, 0, text.c_str(), 0, nullptr) == n && !ere_aborted())
        std::abort();
    if (mflags == 0) compare_with_the_walk(ere, pattern, flags & 1 ? ERE_ICASE : 0, text);
    if (flags == 0 && in_common_syntax(pattern)) compare_with_regexec(ere, pattern, text);
    ere_discard(ere);
    return 0;
}
