// The parse tree of an expression, from which its automaton is built. A
// tree's nodes, strings and sets live in its arena (ere/arena.h) and are
// freed with it, never one by one: once the compiled automaton holds copies
// of the strings and sets its edges take.
#pragma once

#include "ere/arena.h"

#include <cstdint>

enum node_kind : unsigned char {
    NODE_EMPTY,
    NODE_CHAR,
    NODE_EXCLUDED,
    NODE_STRING,
    NODE_SET,
    NODE_WORD_CHAR,
    NODE_NON_WORD_CHAR,
    NODE_ANY,
    NODE_OPTIONAL,
    NODE_PLUS,
    NODE_STAR,
    NODE_COUNTED,
    NODE_ALTERNATION,
    NODE_CONCAT,
    NODE_GROUP,
    NODE_START_ANCHOR,
    NODE_END_ANCHOR,
    NODE_WORD_START,
    NODE_WORD_END,
    NODE_INSIDE_WORD,
    NODE_WORD_BOUNDARY,
    NODE_BACKREF,
};

// No maximum in a counted repetition ("{m,}").
constexpr uint32_t COUNT_UNBOUNDED = 0xFFFFFFFFu;

// Bytes of a 256-bit character set.
constexpr int SET_BYTES = 32;

struct ere_node {
    node_kind kind;
    unsigned char byte;     // character, excluded character; group index of a back-reference
    uint32_t min, max;      // counted repetition
    unsigned char *string;  // length byte (2 to 254) followed by the bytes
    unsigned char *set;     // SET_BYTES bytes, bit b of byte b/8 for byte value b
    ere_node *left, *right; // the child of a repetition or group is left
};

// The empty node is one shared constant, in no arena.
ere_node *node_empty();

// A new node of a kind with no operands set, from the arena, or null when out
// of memory.
ere_node *node_new(node_arena *arena, node_kind kind);

// The smallest number of characters a match of the subtree covers (saturated
// at INT_MAX).
int node_min_length(const ere_node *node);

// The number of group nodes in the subtree, nested groups included.
int node_count_groups(const ere_node *node);

// Applies the group rule to the expression just parsed inside "(...)": unless
// the expression holds a back-reference at its own level, every group at that
// level is replaced by its child. Groups therefore survive at the top level and
// directly inside groups whose level needs them for a back-reference.
void node_flatten_groups(ere_node **expression);

inline bool set_has(const unsigned char *set, int byte) {
    return set[byte >> 3] >> (byte & 7) & 1;
}
inline void set_add(unsigned char *set, int byte) {
    set[byte >> 3] |= 1 << (byte & 7);
}
