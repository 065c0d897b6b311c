#include "ere/dfa.h"

#include "ere/compiled.h"
#include "ere/poll.h"
#include "ere/scan.h"
#include "ere/step.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Larger automata (long literal runs count one state per byte here) are left
// to the walk.
constexpr int MAX_STATES = 4096;

// Each cache of made states takes at most about this much memory...
constexpr size_t CACHE_BYTES = 1 << 20;
// ...and holds this many states at most.
constexpr int CACHE_STATES = 4096;

// What lies on one side of a text position: the text's start (before it) or
// end (after it), a byte that is not a word character, or one that is.
enum byte_side : uint8_t { SIDE_EDGE, SIDE_OTHER, SIDE_WORD };

// When a zero-width edge may be followed, by what lies left and right of the
// position; group edges always may.
enum dfa_condition : uint8_t {
    IF_ALWAYS,
    IF_TEXT_START,
    IF_TEXT_END,
    IF_WORD_START,
    IF_WORD_END,
    IF_INSIDE_WORD,
    IF_WORD_BOUNDARY,
};

bool condition_holds(uint8_t condition, uint8_t left, uint8_t right) {
    bool word_start = left != SIDE_WORD && right == SIDE_WORD;
    bool word_end = left == SIDE_WORD && right != SIDE_WORD;
    switch (condition) {
    case IF_ALWAYS: return true;
    case IF_TEXT_START: return left == SIDE_EDGE;
    case IF_TEXT_END: return right == SIDE_EDGE;
    case IF_WORD_START: return word_start;
    case IF_WORD_END: return word_end;
    case IF_INSIDE_WORD: return left == SIDE_WORD && right == SIDE_WORD;
    default: return word_start || word_end;
    }
}

using byte_set = std::array<uint8_t, SET_BYTES>;

// The automaton's edges in one direction, each state's edges together.
struct dfa_graph {
    std::vector<int> step_first, step_set, step_target; // consuming edges
    std::vector<int> zero_first, zero_target;           // zero-width edges
    std::vector<uint8_t> zero_condition;
};

struct dfa_arc {
    int from, to, what; // a byte set's number, or a condition
};

void fill(std::vector<int> &first, std::vector<int> &target, std::vector<int> *what_int,
          std::vector<uint8_t> *what_byte, const std::vector<dfa_arc> &arcs, int n, bool reversed) {
    first.assign(n + 1, 0);
    for (const dfa_arc &a : arcs) first[(reversed ? a.to : a.from) + 1]++;
    for (int s = 0; s < n; s++) first[s + 1] += first[s];
    target.resize(arcs.size());
    if (what_int) what_int->resize(arcs.size());
    if (what_byte) what_byte->resize(arcs.size());
    std::vector<int> at(first.begin(), first.end() - 1);
    for (const dfa_arc &a : arcs) {
        int i = at[reversed ? a.to : a.from]++;
        target[i] = reversed ? a.from : a.to;
        if (what_int) (*what_int)[i] = a.what;
        if (what_byte) (*what_byte)[i] = static_cast<uint8_t>(a.what);
    }
}

dfa_graph graph_of(const std::vector<dfa_arc> &steps, const std::vector<dfa_arc> &zeros, int n,
                   bool reversed) {
    dfa_graph g;
    fill(g.step_first, g.step_target, &g.step_set, nullptr, steps, n, reversed);
    fill(g.zero_first, g.zero_target, nullptr, &g.zero_condition, zeros, n, reversed);
    return g;
}

// The made states of one automaton and their transitions. A state is a set
// of automaton states (bits) and the side before it (after it, for the
// backward automata). Numbers of states are kept when the cache grows and
// dropped when it is emptied.
struct dfa_cache {
    bool ready = false;
    bool backward = false;
    bool unanchored = false; // a match may start (end, backward) at every position
    int capacity = 0, count = 0;
    int most = 0; // the capacity it may grow to
    std::vector<uint64_t> sets;
    std::vector<uint8_t> side;
    // Per state and byte class: -1 not made yet, else the next state's row
    // (its number times the number of classes) times two, plus one when the
    // state holds a match at its position given that byte after it (before
    // it, backward).
    std::vector<int32_t> next;
    std::vector<int> slots; // hash table of state numbers, -1 free
    int dead = -1;          // the empty set, once made
    int emptied = 0;        // times the cache was emptied
    // The state an unanchored scan begins with stays as it is over any byte
    // but a few; when there are at most SCAN_MAX of them, a scan in that
    // state passes over other bytes by looking for those (-1: none found,
    // or not looked for yet).
    int quiet_row = -1;
    bool quiet_tried = false;
    unsigned char wakers[SCAN_MAX];
    int waker_count = 0;
    int start[3] = {-1, -1, -1};
};

enum { FORWARD_ANCHORED, FORWARD_UNANCHORED, BACKWARD_ANCHORED, BACKWARD_UNANCHORED };

} // namespace

struct dfa_machine {
    int states = 0, words = 0, classes = 0;
    uint8_t class_of[256];
    uint8_t example[256];    // a byte of each class
    uint8_t class_side[256]; // the side a byte of the class makes
    int nul_class = 0;       // the NUL's class stands for the text's edge
    bool sides_matter = false, words_matter = false;
    std::vector<byte_set> sets; // distinct
    std::vector<uint64_t> accepting;
    dfa_graph forward, backward;
    dfa_cache caches[4];
    std::vector<uint64_t> closure, stepped;
    std::vector<int> stack;
    // The starts found by the last run backwards over a text, kept for the
    // next search of the same text from a later position (the next match in
    // a line): the text (its NUL left out), a bit for each position where a
    // match starts, and the first position the run looked at, -1 for none.
    // Plain blocks: they are filled for every line searched.
    unsigned char *starts_text = nullptr;
    uint64_t *starts = nullptr;
    int starts_room = 0; // the longest text they hold
    int starts_length = 0;
    int starts_from = -1;

    dfa_machine() = default;
    dfa_machine(const dfa_machine &) = delete;
    dfa_machine &operator=(const dfa_machine &) = delete;
    ~dfa_machine() {
        std::free(starts_text);
        std::free(starts);
    }
};

namespace {

byte_set bytes_of(const ere_edge &edge) {
    byte_set set{};
    edge_bytes(edge, set.data());
    return set;
}

byte_set single(unsigned char c) {
    byte_set set{};
    set_add(set.data(), c);
    return set;
}

dfa_condition condition_of(int kind) {
    switch (kind) {
    case EDGE_START: return IF_TEXT_START;
    case EDGE_END: return IF_TEXT_END;
    case EDGE_WORD_START: return IF_WORD_START;
    case EDGE_WORD_END: return IF_WORD_END;
    case EDGE_INSIDE_WORD: return IF_INSIDE_WORD;
    case EDGE_WORD_BOUNDARY: return IF_WORD_BOUNDARY;
    default: return IF_ALWAYS;
    }
}

// Splits the byte classes so that each lies wholly inside or outside set.
void split_classes(dfa_machine &d, const uint8_t *in) {
    int renamed[256][2];
    std::memset(renamed, -1, sizeof renamed);
    int count = 0;
    for (int b = 0; b < 256; b++) {
        int &to = renamed[d.class_of[b]][in[b]];
        if (to < 0) to = count++;
        d.class_of[b] = static_cast<uint8_t>(to);
    }
    d.classes = count;
}

// The one byte of a set that holds one, else -1.
int only_member(const byte_set &set) {
    int members = 0, member = -1;
    for (int i = 0; i < SET_BYTES && members < 2; i++) {
        if (!set[i]) continue;
        members += __builtin_popcount(set[i]);
        member = i * 8 + __builtin_ctz(set[i]);
    }
    return members == 1 ? member : -1;
}

// Gives each byte of alone a class of its own.
void split_off(dfa_machine &d, const uint8_t *alone) {
    int renamed[256];
    std::memset(renamed, -1, sizeof renamed);
    int count = 0;
    for (int b = 0; b < 256; b++) {
        if (alone[b]) {
            d.class_of[b] = static_cast<uint8_t>(count++);
            continue;
        }
        int &to = renamed[d.class_of[b]];
        if (to < 0) to = count++;
        d.class_of[b] = static_cast<uint8_t>(to);
    }
    d.classes = count;
}

void make_classes(dfa_machine &d) {
    std::memset(d.class_of, 0, sizeof d.class_of);
    uint8_t in[256] = {};
    in[0] = 1; // the NUL alone: it stands for the text's edges
    split_classes(d, in);
    // The sets are distinct (a set splits nothing an equal one split
    // before), and the classes are numbered in the order of their first byte
    // whatever the order of the splits: the sets of one byte (most of them:
    // every byte of a string is one) split all at once, last.
    uint8_t alone[256] = {};
    for (const byte_set &set : d.sets) {
        int member = only_member(set);
        if (member >= 0) {
            alone[member] = 1;
            continue;
        }
        for (int b = 0; b < 256; b++) in[b] = set_has(set.data(), b);
        split_classes(d, in);
    }
    if (d.words_matter) {
        for (int b = 0; b < 256; b++) in[b] = is_word_byte(static_cast<unsigned char>(b));
        split_classes(d, in);
    }
    split_off(d, alone);
    for (int b = 255; b >= 0; b--) d.example[d.class_of[b]] = static_cast<uint8_t>(b);
    d.nul_class = d.class_of[0];
    for (int k = 0; k < d.classes; k++)
        d.class_side[k] = k == d.nul_class             ? SIDE_EDGE
                          : is_word_byte(d.example[k]) ? SIDE_WORD
                                                       : SIDE_OTHER;
}

// The automaton reachable from the start, with literal runs spelt out one
// byte a state. False when it has a back-reference or too many states.
bool read_automaton(const ERE *ere, dfa_machine &d, std::vector<dfa_arc> &steps,
                    std::vector<dfa_arc> &zeros) {
    const ere_automaton *aut = ere->automaton;
    std::vector<int> number(AUT_STATES, -1), queue;
    number[ere->start] = d.states++;
    queue.push_back(ere->start);
    auto number_of = [&](int state) {
        if (number[state] < 0) {
            number[state] = d.states++;
            queue.push_back(state);
        }
        return number[state];
    };
    // Equal sets share a number: a union of many words repeats its letters.
    int single_number[256];
    std::fill(std::begin(single_number), std::end(single_number), -1);
    std::vector<int> others; // the numbers of the sets of several bytes
    auto add_step = [&](int from, int to, const byte_set &set, int member) {
        int number = member >= 0 ? single_number[member] : -1;
        for (size_t k = 0; member < 0 && k < others.size() && number < 0; k++)
            if (d.sets[others[k]] == set) number = others[k];
        if (number < 0) {
            number = static_cast<int>(d.sets.size());
            d.sets.push_back(set);
            if (member >= 0)
                single_number[member] = number;
            else
                others.push_back(number);
        }
        steps.push_back({from, to, number});
    };
    for (size_t i = 0; i < queue.size(); i++) {
        int from = number[queue[i]];
        for (int e = aut->head[queue[i]]; e >= 0; e = aut->edges[e].next) {
            const ere_edge &edge = aut->edges[e];
            int to = number_of(edge.target);
            if (edge.kind == EDGE_BACKREF) return false;
            if (edge_is_zero_width(edge.kind)) {
                dfa_condition c = condition_of(edge.kind);
                if (c != IF_ALWAYS) d.sides_matter = true;
                if (c > IF_TEXT_END) d.words_matter = true;
                zeros.push_back({from, to, c});
            } else if (edge.kind == EDGE_STRING) {
                const unsigned char *s = edge.operand.string;
                int at = from;
                for (int k = 1; k < s[0]; k++) {
                    int between = d.states++;
                    add_step(at, between, single(s[k]), s[k]);
                    at = between;
                }
                add_step(at, to, single(s[s[0]]), s[s[0]]);
            } else {
                byte_set set = bytes_of(edge);
                add_step(from, to, set, only_member(set));
            }
            if (d.states > MAX_STATES) return false;
        }
    }
    d.words = (d.states + 63) / 64;
    d.accepting.assign(d.words, 0);
    for (int s = 0; s < aut->state_count; s++)
        if (number[s] >= 0 && (aut->flags[s] & STATE_ACCEPTING))
            d.accepting[number[s] / 64] |= uint64_t{1} << (number[s] % 64);
    return true;
}

dfa_machine *build(const ERE *ere) {
    dfa_machine *d = new (std::nothrow) dfa_machine;
    if (!d) return nullptr;
    try {
        std::vector<dfa_arc> steps, zeros;
        if (!read_automaton(ere, *d, steps, zeros)) {
            delete d;
            return nullptr;
        }
        make_classes(*d);
        d->forward = graph_of(steps, zeros, d->states, false);
        d->backward = graph_of(steps, zeros, d->states, true);
        d->closure.assign(d->words, 0);
        d->stepped.assign(d->words, 0);
        d->stack.reserve(d->states);
        for (int i = 0; i < 4; i++) {
            d->caches[i].backward = i >= BACKWARD_ANCHORED;
            d->caches[i].unanchored = i == FORWARD_UNANCHORED || i == BACKWARD_UNANCHORED;
        }
    } catch (const std::bad_alloc &) {
        delete d;
        return nullptr;
    }
    return d;
}

bool has(const uint64_t *set, int s) {
    return set[s / 64] >> (s % 64) & 1;
}

void put(uint64_t *set, int s) {
    set[s / 64] |= uint64_t{1} << (s % 64);
}

template <typename F> void for_each_member(const uint64_t *set, int words, F f) {
    for (int w = 0; w < words; w++)
        for (uint64_t bits = set[w]; bits; bits &= bits - 1) f(w * 64 + __builtin_ctzll(bits));
}

uint64_t hash_of(const uint64_t *set, int words, uint8_t side) {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ side;
    for (int i = 0; i < words; i++) h = (h ^ set[i]) * 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 29);
}

// A cache starts small and doubles as states are made, up to its limit.
constexpr int FIRST_CAPACITY = 16;

// The most states set for tests, 0 for none.
int capacity_for_tests;

size_t slots_for(int capacity) {
    size_t slots = 1;
    while (slots < 2 * static_cast<size_t>(capacity)) slots *= 2;
    return slots;
}

// Gives the cache room for capacity states; false when out of memory.
bool resize_cache(const dfa_machine &d, dfa_cache &c, int capacity) {
    try {
        c.sets.resize(static_cast<size_t>(capacity) * d.words);
        c.side.resize(capacity);
        c.next.resize(static_cast<size_t>(capacity) * d.classes, -1);
        c.slots.assign(slots_for(capacity), -1);
    } catch (const std::bad_alloc &) {
        return false;
    }
    c.capacity = capacity;
    size_t mask = c.slots.size() - 1;
    for (int s = 0; s < c.count; s++) {
        size_t slot = hash_of(&c.sets[static_cast<size_t>(s) * d.words], d.words, c.side[s]) & mask;
        while (c.slots[slot] >= 0) slot = (slot + 1) & mask;
        c.slots[slot] = s;
    }
    return true;
}

// Makes a cache ready on its first use.
bool make_ready(const dfa_machine &d, dfa_cache &c) {
    if (c.ready) return true;
    size_t per_state =
        d.words * sizeof(uint64_t) + d.classes * sizeof(int32_t) + 1 + 2 * sizeof(int);
    size_t most = CACHE_BYTES / per_state;
    if (most > CACHE_STATES) most = CACHE_STATES;
    if (capacity_for_tests > 0) most = capacity_for_tests;
    c.most = static_cast<int>(most < 2 ? 2 : most);
    if (!resize_cache(d, c, c.most < FIRST_CAPACITY ? c.most : FIRST_CAPACITY)) return false;
    c.ready = true;
    return true;
}

void empty_cache(const dfa_machine &d, dfa_cache &c) {
    c.emptied++;
    c.count = 0;
    c.dead = -1;
    c.start[0] = c.start[1] = c.start[2] = -1;
    c.quiet_row = -1;
    c.quiet_tried = false;
    std::fill(c.slots.begin(), c.slots.end(), -1);
    std::fill(c.next.begin(), c.next.begin() + static_cast<size_t>(c.capacity) * d.classes, -1);
}

// The number of the state (set, side), made when new. A full cache is
// emptied first, so numbers held by the caller are then stale.
int state_of(const dfa_machine &d, dfa_cache &c, const uint64_t *set, uint8_t side) {
    bool empty = true;
    for (int i = 0; i < d.words && empty; i++) empty = set[i] == 0;
    if (empty)
        side = SIDE_EDGE;
    else if (!d.sides_matter)
        side = SIDE_EDGE;
    else if (!d.words_matter && side == SIDE_WORD)
        side = SIDE_OTHER;
    size_t mask = c.slots.size() - 1;
    size_t slot = hash_of(set, d.words, side) & mask;
    for (; c.slots[slot] >= 0; slot = (slot + 1) & mask) {
        int s = c.slots[slot];
        if (c.side[s] == side &&
            std::memcmp(&c.sets[static_cast<size_t>(s) * d.words], set, d.words * 8) == 0)
            return s;
    }
    if (c.count == c.capacity) {
        if (c.capacity == c.most || !resize_cache(d, c, std::min(2 * c.capacity, c.most)))
            empty_cache(d, c);
        mask = c.slots.size() - 1;
        slot = hash_of(set, d.words, side) & mask;
        while (c.slots[slot] >= 0) slot = (slot + 1) & mask;
    }
    int s = c.count++;
    std::memcpy(&c.sets[static_cast<size_t>(s) * d.words], set, d.words * 8);
    c.side[s] = side;
    c.slots[slot] = s;
    if (empty) c.dead = s;
    return s;
}

// The state a scan begins with at a position, given what lies before it
// (forward) or after it (backward): the start state, or every accepting one.
int start_state(dfa_machine &d, dfa_cache &c, uint8_t side) {
    if (c.start[side] >= 0) return c.start[side];
    std::vector<uint64_t> &set = d.stepped;
    if (c.backward) {
        set = d.accepting;
    } else {
        std::fill(set.begin(), set.end(), 0);
        put(set.data(), 0);
    }
    int s = state_of(d, c, set.data(), side);
    c.start[side] = s;
    return s;
}

// Makes the transition of state s on byte class k.
int32_t transition(dfa_machine &d, dfa_cache &c, int s, int k) {
    const dfa_graph &g = c.backward ? d.backward : d.forward;
    uint64_t *closure = d.closure.data();
    std::memcpy(closure, &c.sets[static_cast<size_t>(s) * d.words], d.words * 8);
    uint8_t here = c.side[s], there = d.class_side[k];
    uint8_t left = c.backward ? there : here, right = c.backward ? here : there;
    d.stack.clear();
    for_each_member(closure, d.words, [&](int st) { d.stack.push_back(st); });
    // What the zero-width edges reach at this position.
    while (!d.stack.empty()) {
        int st = d.stack.back();
        d.stack.pop_back();
        for (int i = g.zero_first[st]; i < g.zero_first[st + 1]; i++) {
            int t = g.zero_target[i];
            if (!has(closure, t) && condition_holds(g.zero_condition[i], left, right)) {
                put(closure, t);
                d.stack.push_back(t);
            }
        }
    }
    bool hit = false;
    if (c.backward) {
        hit = has(closure, 0);
    } else {
        for (int i = 0; i < d.words && !hit; i++) hit = (closure[i] & d.accepting[i]) != 0;
    }
    uint64_t *stepped = d.stepped.data();
    std::memset(stepped, 0, d.words * 8);
    if (k != d.nul_class) {
        unsigned char byte = d.example[k];
        for_each_member(closure, d.words, [&](int st) {
            for (int i = g.step_first[st]; i < g.step_first[st + 1]; i++)
                if (set_has(d.sets[g.step_set[i]].data(), byte)) put(stepped, g.step_target[i]);
        });
        if (c.unanchored) {
            if (c.backward)
                for (int i = 0; i < d.words; i++) stepped[i] |= d.accepting[i];
            else
                put(stepped, 0);
        }
    }
    int emptied = c.emptied;
    int t = state_of(d, c, stepped, there);
    int32_t result = t * d.classes * 2 + (hit ? 1 : 0);
    // Unless the cache was just emptied, s is still the state it was.
    if (c.emptied == emptied) c.next[static_cast<size_t>(s) * d.classes + k] = result;
    return result;
}

// The cache of one kind of scan, ready for use; null when out of memory.
dfa_cache *cache_for(dfa_machine *d, int kind) {
    dfa_cache &c = d->caches[kind];
    return make_ready(*d, c) ? &c : nullptr;
}

uint8_t side_of(const dfa_machine &d, unsigned char byte) {
    return d.class_side[d.class_of[byte]];
}

// Finds the bytes that wake the state at row (the start of an unanchored
// scan) from its sleep: every byte whose transition leads elsewhere or finds
// a match. Backward, the NUL (the text's start) is always dealt with step by
// step.
void find_wakers(dfa_machine &d, dfa_cache &c, int row) {
    if (c.quiet_tried) return;
    c.quiet_tried = true;
    if (!c.unanchored || d.sides_matter) return;
    int emptied = c.emptied;
    int count = 0;
    for (int k = 0; k < d.classes; k++) {
        int32_t t = c.next[row + k];
        if (t < 0) t = transition(d, c, row / d.classes, k);
        if (c.emptied != emptied) return;
        if (t == row * 2 || (c.backward && k == d.nul_class)) continue;
        for (int b = 0; b < 256; b++) {
            if (d.class_of[b] != k) continue;
            if (count == SCAN_MAX) return;
            c.wakers[count++] = static_cast<unsigned char>(b);
        }
    }
    c.waker_count = count;
    c.quiet_row = count > 0 ? row : -1;
}

// Counts the steps of a scan towards the next poll in a register, not in
// memory, and puts the count back when the scan ends.
struct poll_budget {
    int left = poll_countdown;
    ~poll_budget() { poll_countdown = left; }
    bool step(int steps = 1) {
        left -= steps;
        if (left > 0) return false;
        bool stop = poll_now();
        left = poll_countdown;
        return stop;
    }
};

// Making a transition looks at every automaton state and edge the set
// reaches: it counts as many steps as that costs, roughly, so that a text
// that makes a new state at every byte still polls every few milliseconds.
int cost_of_transition(const dfa_machine &d) {
    return 1 + d.states / 8;
}

// Runs one kind of automaton over the text from position `from` to position
// `to` (downwards when backward), or until no match can go on (anchored
// kinds), and returns the last position in that order where it holds a match:
// an end forward, a start backward. scanned, when not null, receives the
// number of positions looked at, and hits a bit for each such position.
template <bool backward>
int scan(dfa_machine *d, int kind, const unsigned char *text, int from, int to, int *scanned,
         uint64_t *hits = nullptr) {
    dfa_cache *c = cache_for(d, kind);
    if (!c) return DFA_NO_MEMORY;
    const uint8_t *class_of = d->class_of;
    const int classes = d->classes;
    uint8_t side = backward   ? side_of(*d, text[from])
                   : from > 0 ? side_of(*d, text[from - 1])
                              : uint8_t{SIDE_EDGE};
    int row = start_state(*d, *c, side) * classes;
    if (!c->quiet_tried) {
        find_wakers(*d, *c, row);
        row = start_state(*d, *c, side) * classes; // anew if the cache was emptied
    }
    // Reloaded after each new transition, which may move or empty the cache.
    const int32_t *next = c->next.data();
    int dead_row = c->dead * classes;
    int quiet_row = c->quiet_row;
    int found = DFA_NONE;
    poll_budget budget;
    int p = from;
    for (;; p += backward ? -1 : 1) {
        if (row == quiet_row && p != to) {
            // Over bytes that leave the state as it is, straight to one that
            // does not, if any.
            if (backward) {
                int lowest = to > 0 ? to - 1 : 0;
                int i = c->waker_count == 1
                            ? scan_back_for_byte(text, lowest, p - 1, c->wakers[0])
                            : scan_back_for_bytes(text, lowest, p - 1, c->wakers, c->waker_count);
                if (i < 0 && to > 0) {
                    p = to;
                    break;
                }
                p = i + 1;
            } else {
                p = scan_for_bytes(text, p, to, c->wakers, c->waker_count);
                if (p < 0) {
                    p = to;
                    break;
                }
            }
        }
        int k = class_of[backward ? (p > 0 ? text[p - 1] : 0) : text[p]];
        int32_t t = next[row + k];
        if (t < 0) {
            t = transition(*d, *c, row / classes, k);
            next = c->next.data();
            dead_row = c->dead * classes;
            quiet_row = c->quiet_row;
            if (budget.step(cost_of_transition(*d))) return DFA_GAVE_UP;
        }
        if (t & 1) {
            found = p;
            if (hits) hits[p / 64] |= uint64_t{1} << (p % 64);
        }
        if (p == to) break;
        row = t >> 1;
        if (row == dead_row) break;
        if (budget.step()) return DFA_GAVE_UP;
    }
    if (scanned) *scanned = (backward ? from - p : p - from) + 1;
    return found;
}

} // namespace

dfa_machine *dfa_of(ERE *ere) {
    if (ere->dfa_use == DFA_UNTRIED) {
        ere->dfa = build(ere);
        ere->dfa_use = ere->dfa ? DFA_READY : DFA_UNUSED;
    }
    return ere->dfa_use == DFA_READY ? ere->dfa : nullptr;
}

void dfa_free(dfa_machine *dfa) {
    delete dfa;
}

void dfa_cap_cache(int states) {
    capacity_for_tests = states;
}

namespace {

// Room in the kept starts for a text of length bytes; false when out of
// memory.
bool room_for_starts(dfa_machine *d, int length) {
    if (d->starts && length <= d->starts_room) return true;
    int room = d->starts_room ? d->starts_room : 255;
    while (room < length) room = room * 2 + 1;
    auto *text = static_cast<unsigned char *>(std::realloc(d->starts_text, room));
    if (text) d->starts_text = text;
    auto *bits = static_cast<uint64_t *>(std::realloc(d->starts, (room / 64 + 1) * 8));
    if (bits) d->starts = bits;
    if (!text || !bits) return false;
    d->starts_room = room;
    return true;
}

} // namespace

int dfa_first_start(dfa_machine *d, const unsigned char *text, int length, int from) {
    if (d->starts_from >= 0 && from >= d->starts_from && length == d->starts_length &&
        std::memcmp(text, d->starts_text, length) == 0) {
        for (int w = from / 64; w <= length / 64; w++) {
            uint64_t bits = d->starts[w];
            if (w == from / 64) bits &= ~uint64_t{0} << (from % 64);
            if (bits) return w * 64 + __builtin_ctzll(bits);
        }
        return DFA_NONE;
    }
    d->starts_from = -1;
    if (!room_for_starts(d, length))
        return scan<true>(d, BACKWARD_UNANCHORED, text, length, from, nullptr);
    std::memcpy(d->starts_text, text, length);
    d->starts_length = length;
    std::memset(d->starts, 0, (length / 64 + 1) * 8);
    int found = scan<true>(d, BACKWARD_UNANCHORED, text, length, from, nullptr, d->starts);
    if (found != DFA_GAVE_UP && found != DFA_NO_MEMORY) d->starts_from = from;
    return found;
}

int dfa_longest_end(dfa_machine *d, const unsigned char *text, int start, int limit, int *scanned) {
    return scan<false>(d, FORWARD_ANCHORED, text, start, limit, scanned);
}

int dfa_last_end(dfa_machine *d, const unsigned char *text, int limit) {
    return scan<false>(d, FORWARD_UNANCHORED, text, 0, limit, nullptr);
}

int dfa_first_start_ending_at(dfa_machine *d, const unsigned char *text, int end) {
    return scan<true>(d, BACKWARD_ANCHORED, text, end, 0, nullptr);
}
