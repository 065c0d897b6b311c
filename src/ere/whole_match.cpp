#include "ere/whole_match.h"

#include "ere/step.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int WORDS = 4;
constexpr int MOST_LENGTH = WORDS * 64 - 1; // positions 0 to the length
constexpr int MOST_DEPTH = 200;
constexpr uint32_t MOST_COUNT = MOST_LENGTH + 1;
// Counted repetitions nested in each other multiply their counts: past this
// many pieces followed, the answer is "may match", as for a piece not followed.
constexpr long MOST_STEPS = 20000;

struct positions {
    uint64_t bits[WORDS] = {};

    bool has(int p) const { return bits[p / 64] >> (p % 64) & 1; }
    void put(int p) { bits[p / 64] |= uint64_t{1} << (p % 64); }
    bool empty() const { return !(bits[0] | bits[1] | bits[2] | bits[3]); }
    bool operator==(const positions &) const = default;
    positions &operator|=(const positions &other) {
        for (int i = 0; i < WORDS; i++) bits[i] |= other.bits[i];
        return *this;
    }
};

struct whole_match {
    const unsigned char *text;
    int length;
    bool unsure; // a piece was not followed: every position was taken as its end
    long steps = 0;

    positions every() const {
        positions all;
        for (int p = 0; p <= length; p++) all.put(p);
        return all;
    }

    bool word_at(int p) const { return p < length && is_word_byte(text[p]); }

    // Whether a zero-width piece holds at p.
    bool holds(node_kind kind, int p) const {
        bool before = p > 0 && word_at(p - 1), after = word_at(p);
        switch (kind) {
        case NODE_START_ANCHOR: return p == 0;
        case NODE_END_ANCHOR: return p == length;
        case NODE_WORD_START: return !before && after;
        case NODE_WORD_END: return before && !after;
        case NODE_INSIDE_WORD: return before && after;
        default: return before != after; // a word boundary
        }
    }

    // Whether a piece of one byte takes the byte at p.
    bool takes(const ere_node *node, int p) const {
        unsigned char c = text[p];
        switch (node->kind) {
        case NODE_CHAR: return c == node->byte;
        case NODE_EXCLUDED: return c != node->byte;
        case NODE_SET: return set_has(node->set, c);
        case NODE_WORD_CHAR: return is_word_byte(c);
        case NODE_NON_WORD_CHAR: return !is_word_byte(c);
        default: return true; // any byte
        }
    }

    positions unsure_ends() {
        unsure = true;
        return every();
    }

    // Every position from which repeating node (any number of times) from
    // the positions of from ends.
    positions closure(const ere_node *node, positions from, int depth) {
        for (;;) {
            positions next = ends(node, from, depth);
            next |= from;
            if (next == from) return from;
            from = next;
        }
    }

    // Where matches of node that start at the positions of from can end.
    positions ends(const ere_node *node, const positions &from, int depth) {
        if (depth > MOST_DEPTH || ++steps > MOST_STEPS) return unsure_ends();
        positions to;
        switch (node->kind) {
        case NODE_EMPTY: return from;
        case NODE_CHAR:
        case NODE_EXCLUDED:
        case NODE_SET:
        case NODE_WORD_CHAR:
        case NODE_NON_WORD_CHAR:
        case NODE_ANY:
            for (int p = 0; p < length; p++)
                if (from.has(p) && takes(node, p)) to.put(p + 1);
            return to;
        case NODE_STRING: {
            int n = node->string[0];
            for (int p = 0; p + n <= length; p++)
                if (from.has(p) && std::memcmp(text + p, node->string + 1, n) == 0) to.put(p + n);
            return to;
        }
        case NODE_OPTIONAL: to = ends(node->left, from, depth + 1); return to |= from;
        case NODE_STAR: return closure(node->left, from, depth + 1);
        case NODE_PLUS: return closure(node->left, ends(node->left, from, depth + 1), depth + 1);
        case NODE_COUNTED: {
            if (node->min > MOST_COUNT) return unsure_ends();
            to = from;
            for (uint32_t i = 0; i < node->min && !to.empty(); i++)
                to = ends(node->left, to, depth + 1);
            if (node->max == COUNT_UNBOUNDED) return closure(node->left, to, depth + 1);
            for (uint32_t i = node->min; i < node->max; i++) {
                positions next = ends(node->left, to, depth + 1);
                next |= to;
                if (next == to) break;
                to = next;
            }
            return to;
        }
        case NODE_ALTERNATION:
            to = ends(node->left, from, depth + 1);
            return to |= ends(node->right, from, depth + 1);
        case NODE_CONCAT: return ends(node->right, ends(node->left, from, depth + 1), depth + 1);
        case NODE_GROUP: return ends(node->left, from, depth + 1);
        case NODE_BACKREF: return unsure_ends();
        default: // zero-width tests
            for (int p = 0; p <= length; p++)
                if (from.has(p) && holds(node->kind, p)) to.put(p);
            return to;
        }
    }
};

} // namespace

bool tree_may_match_whole(const ere_node *tree, const char *text, int length) {
    if (length > MOST_LENGTH) return true;
    whole_match m{reinterpret_cast<const unsigned char *>(text), length, false};
    positions start;
    start.put(0);
    positions ends = m.ends(tree, start, 0);
    return m.unsure || ends.has(length);
}
