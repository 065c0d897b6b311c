// The three matching entry points over the search primitive. Start positions
// that cannot begin a match (by the expression's min length, its possible
// first bytes, a byte every match contains, a start anchor) are skipped
// without walking; every position walked gives the same result as before.
// The searches forwards and backwards find where their match starts and ends
// with the deterministic automata when the expression allows it, and walk
// only to find the spans of the match found.
#include "ere/compiled.h"
#include "ere/dfa.h"
#include "ere/ere.h"
#include "ere/poll.h"
#include "ere/scan.h"
#include "ere/step.h"
#include "ere/walk.h"

#include <cstring>

namespace {

void copy_spans(const ERE_SUBS &from, ERE_SUBS *to) {
    if (!to) return;
    to->count = from.count;
    int n = from.count < 9 ? from.count : 9;
    std::memcpy(to->span, from.span, n * sizeof from.span[0]);
}

walk_subject subject_of(const char *text) {
    return {reinterpret_cast<const unsigned char *>(text), static_cast<int>(std::strlen(text))};
}

// Whether a match may start at p, judged by its first byte alone.
bool may_start_at(const prefilter_set &pre, const walk_subject &s, int p) {
    if (pre.text_start_only && p != 0) return false;
    return pre.can_be_empty || pre.first[s.text[p]];
}

// The first position from p to last (inclusive) at which a match may start,
// or -1.
int next_candidate(const prefilter_set &pre, const walk_subject &s, int p, int last) {
    if (pre.text_start_only) return p == 0 && last >= 0 && may_start_at(pre, s, 0) ? 0 : -1;
    if (pre.can_be_empty) return p <= last ? p : -1;
    if (p > last) return -1;
    if (pre.first_count == 1) {
        const void *at = std::memchr(s.text + p, pre.first_byte, last - p + 1);
        return at ? static_cast<int>(static_cast<const unsigned char *>(at) - s.text) : -1;
    }
    if (pre.pair_count > 0)
        return scan_for_pairs(s.text, p, last, pre.pair_first, pre.pair_second, pre.pair_count);
    if (pre.first_count <= SCAN_MAX)
        return scan_for_bytes(s.text, p, last, pre.first_few, pre.first_count);
    while (p <= last && !pre.first[s.text[p]]) p++;
    return p <= last ? p : -1;
}

// Whether a walk from p can take a first step, when a few edges are all
// that can begin a match.
bool start_can_step(const ERE *ere, const walk_subject &s, int p) {
    const prefilter_set &pre = ere->prefilter;
    if (!pre.start_decides) return true;
    if (!pre.pair_row[s.text[p]] || !set_has(pair_row_of(pre, s.text[p]), s.text[p + 1]))
        return false;
    const ere_automaton *aut = ere->automaton;
    for (int i = 0; i < pre.step_count; i++)
        if (edge_consumes(aut->edges[pre.step_edges[i]], s.text, p, s.length) >= 0) return true;
    return false;
}

// The first position after p from which a match may still start, knowing
// that none starts at p. When a skip edge takes the bytes at q and no match
// starts at q, none starts after those bytes either: such runs are passed.
int after_failure(const ERE *ere, const walk_subject &s, int p) {
    const prefilter_set &pre = ere->prefilter;
    const ere_automaton *aut = ere->automaton;
    for (int q = p;;) {
        int n = -1;
        for (int i = 0; i < pre.skip_count && n < 0; i++)
            n = edge_consumes(aut->edges[pre.skip_edges[i]], s.text, q, s.length);
        if (n < 0) return q + 1;
        q += n;
    }
}

// Where the automata found the leftmost match to start (and end, when they
// were asked to); DFA_NONE or DFA_GAVE_UP when there is none (from the start
// position tried alone, or from every one when settled); DFA_NO_MEMORY when
// the walk must try start positions from there on.
struct found_match {
    int start, end;
    bool settled = true;
};

// The first match from start position p on, knowing no earlier one. Tried
// one by one, start positions cost little when few bytes can begin a match;
// the run backwards costs the rest of the text once, however many there are.
found_match try_by_automata(dfa_machine *dfa, const walk_subject &s, int p, bool want_end,
                            long *budget) {
    if (*budget > 0) {
        int scanned = 0;
        int end = dfa_longest_end(dfa, s.text, p, s.length, &scanned);
        *budget -= scanned;
        return {end >= 0 ? p : end, end, end != DFA_NONE};
    }
    int start = dfa_first_start(dfa, s.text, s.length, p);
    if (start < 0) return {start, start};
    return {start, want_end ? dfa_longest_end(dfa, s.text, start, s.length, nullptr) : start};
}

// The last match that ends at or before limit: the automaton run forwards
// from the text's start finds the latest end, then backwards from there the
// earliest start.
found_match backward_by_automata(dfa_machine *dfa, const walk_subject &s, int limit) {
    int end = dfa_last_end(dfa, s.text, limit);
    if (end < 0) return {end, end};
    int start = dfa_first_start_ending_at(dfa, s.text, end);
    return {start, start < 0 ? start : end};
}

} // namespace

int ere_match(ERE *ere, int flags, const char *text, int offset, ERE_SUBS *subs) {
    match_clear_abort();
    walk_subject s = subject_of(text);
    const prefilter_set &pre = ere->prefilter;
    if (offset < 0 || offset > s.length || s.length - offset < ere->min_length) return -1;
    if (!may_start_at(pre, s, offset)) return -1;
    if (pre.required_byte >= 0 &&
        !std::memchr(s.text + offset, pre.required_byte, s.length - offset))
        return -1;
    if (dfa_machine *dfa = flags == 0 && !subs ? dfa_of(ere) : nullptr) {
        int end = dfa_longest_end(dfa, s.text, offset, s.length, nullptr);
        if (end != DFA_NO_MEMORY) return end >= 0 ? end - offset : -1;
    }
    ERE_SUBS spans;
    int end = walk_search(ere, flags, s, offset, s.length, subs ? &spans : nullptr);
    if (end < 0) return -1;
    copy_spans(spans, subs);
    return end - offset;
}

namespace {

// ere_match_fwd; without want_end (and without flags and spans) the length
// stored may be 0 when the automata found the start alone.
int forward(ERE *ere, int flags, const char *text, int offset, int *match_offset, int *match_length,
            ERE_SUBS *subs, bool want_end) {
    match_clear_abort();
    walk_subject s = subject_of(text);
    const prefilter_set &pre = ere->prefilter;
    if (offset < 0 || offset > s.length) return 0;
    dfa_machine *dfa = flags == 0 ? dfa_of(ere) : nullptr;
    // Start positions found by a scan for a few bytes are tried one by one;
    // where most bytes may start a match, the run backwards is cheaper.
    bool few_starts = pre.text_start_only ||
                      (!pre.can_be_empty && (pre.first_count <= SCAN_MAX || pre.pair_count > 0));
    long budget = few_starts ? static_cast<long>(s.length) - offset + ere->tries_beyond_length : 0;
    int last = s.length - ere->min_length;
    int required_at = -1; // where the required byte was last found
    ERE_SUBS spans;
    for (int p = offset;; p = after_failure(ere, s, p)) {
        if (p > last) return 0; // no match fits after p
        // The run backwards needs no candidates: it finds the first start itself.
        if (!dfa || budget > 0) {
            p = next_candidate(pre, s, p, last);
            if (p < 0) return 0;
            if (pre.required_byte >= 0 && required_at < p) {
                const void *at = std::memchr(s.text + p, pre.required_byte, s.length - p);
                if (!at) return 0;
                required_at = static_cast<int>(static_cast<const unsigned char *>(at) - s.text);
            }
            if (!start_can_step(ere, s, p)) continue;
        }
        int start = p;
        if (dfa) {
            found_match f = try_by_automata(dfa, s, p, want_end && !subs, &budget);
            if (f.start == DFA_NONE && !f.settled) continue;
            if (f.start == DFA_NONE || f.start == DFA_GAVE_UP || f.end == DFA_GAVE_UP) return 0;
            if (f.start == DFA_NO_MEMORY || f.end == DFA_NO_MEMORY) {
                dfa = nullptr; // the walk tries from p on
            } else if (!subs) {
                *match_offset = f.start;
                *match_length = want_end ? f.end - f.start : 0;
                return 1;
            } else {
                start = f.start;
            }
        }
        int end = walk_search(ere, flags, s, start, s.length, subs ? &spans : nullptr);
        if (match_gave_up()) return 0;
        if (end >= 0) {
            *match_offset = start;
            *match_length = end - start;
            copy_spans(spans, subs);
            return 1;
        }
    }
}

} // namespace

int ere_match_fwd(ERE *ere, int flags, const char *text, int offset, int *match_offset,
                  int *match_length, ERE_SUBS *subs) {
    return forward(ere, flags, text, offset, match_offset, match_length, subs, true);
}

int ere_match_start(ERE *ere, const char *text, int offset) {
    int start = -1, length = 0;
    return forward(ere, 0, text, offset, &start, &length, nullptr, false) ? start : -1;
}

int ere_match_bwd(ERE *ere, int flags, const char *text, int limit, int *match_offset,
                  int *match_length, ERE_SUBS *subs) {
    match_clear_abort();
    walk_subject s = subject_of(text);
    const prefilter_set &pre = ere->prefilter;
    // No match ends past the text, so a limit beyond it changes nothing but
    // the start positions, which must stay inside the text.
    if (limit > s.length) limit = s.length;
    int last = limit - ere->min_length;
    if (last < 0) return 0;
    if (dfa_machine *dfa = flags == 0 ? dfa_of(ere) : nullptr) {
        found_match f = backward_by_automata(dfa, s, limit);
        if (f.start == DFA_NONE || f.start == DFA_GAVE_UP) return 0;
        if (f.start != DFA_NO_MEMORY) {
            ERE_SUBS spans;
            // The walk from the start found gives the same end, and the spans.
            if (subs && walk_search(ere, 0, s, f.start, limit, &spans) < 0) return 0;
            *match_offset = f.start;
            *match_length = f.end - f.start;
            copy_spans(spans, subs);
            return 1;
        }
    }
    if (pre.required_byte >= 0) {
        // Every match covers the required byte before the limit.
        int at = limit - 1;
        while (at >= 0 && s.text[at] != pre.required_byte) at--;
        if (at < last) last = at;
    }
    int step = (flags & ERE_SHORTEST) ? 0 : 1;
    int best_start = -1, best_end = -1;
    ERE_SUBS spans, best_spans;
    for (int p = 0;; p++) {
        p = next_candidate(pre, s, p, last);
        if (p < 0) break;
        int end = walk_search(ere, flags, s, p, limit, subs ? &spans : nullptr);
        if (match_gave_up()) return 0;
        if (end >= 0 && (best_start < 0 || end >= best_end + step)) {
            best_start = p;
            best_end = end;
            if (subs) best_spans = spans;
        }
    }
    if (best_start < 0) return 0;
    *match_offset = best_start;
    *match_length = best_end - best_start;
    copy_spans(best_spans, subs);
    return 1;
}
