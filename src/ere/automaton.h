// The automaton record: tables of states and edges, filled by the Thompson
// construction and by epsilon removal in working automata of a fixed size,
// kept compact with the compiled expression and walked by the matcher.
#pragma once

#include <cstdint>

constexpr int AUT_STATES = 500;
constexpr int AUT_EDGES = 1500;

enum edge_kind : uint8_t {
    EDGE_BYTE = 0,
    EDGE_NOT_BYTE = 1,
    EDGE_STRING = 2,
    EDGE_ANY = 3,
    EDGE_SET = 4,
    EDGE_WORD = 5,
    EDGE_NON_WORD = 6,
    EDGE_EPSILON = 7,
    EDGE_START = 8,
    EDGE_END = 9,
    EDGE_WORD_START = 10,
    EDGE_WORD_END = 11,
    EDGE_INSIDE_WORD = 12,
    EDGE_WORD_BOUNDARY = 13,
    EDGE_OPEN = 14,
    EDGE_CLOSE = 15,
    EDGE_BACKREF = 16,
};

// Edges of kinds 8 to 16 consume nothing (a back-reference may, but obeys the
// same rule against looping).
inline bool edge_is_zero_width(int kind) {
    return kind >= EDGE_START;
}

// A byte, excluded byte, string (length byte then bytes), set or group index.
union edge_operand {
    unsigned char byte;
    int group;
    const unsigned char *string;
    const unsigned char *set;
};

// The operand first and the kind last: 24 bytes, where the kind first
// would pad it to 32.
struct ere_edge {
    edge_operand operand;
    int last; // matcher scratch for zero-width edges: position last entered on the current path, -1
              // none
    int target;
    int next; // next edge of the same state's list, -1 at its end
    uint8_t kind;
};

enum state_flag : uint8_t {
    STATE_ACCEPTING = 1,
    STATE_IN_PROGRESS = 2,
    STATE_USEFUL = 4,
};

// A working automaton has AUT_STATES states and AUT_EDGES edge slots; a
// compact one, kept with a compiled expression, the states and edges it
// holds.
struct ere_automaton {
    int state_count;
    int edge_counter; // next slot number; advances for every request, duplicates included
    int *head;        // first edge of each state's list, -1 when empty
    uint8_t *flags;
    ere_edge *edges;
};

// One of the compiler's two working automata (which: 0 or 1), emptied. They
// are process-wide, as the match state is: one compile runs at a time, and
// the memory they touch is touched once.
ere_automaton *aut_work(int which);

// A copy of aut in one block of the size its states and edges take, each
// state's list in the same order and with copies of the strings and sets its
// edges take, or null when out of memory. No state or edge may be added to
// it; aut_free frees it.
ere_automaton *aut_compact(const ere_automaton *aut);
void aut_free(ere_automaton *aut);

// A new state's number, or -1 when all are used.
int aut_new_state(ere_automaton *aut);

// Adds an edge (kind, operand, target) at the front of from's list unless the
// list holds a duplicate. Returns false when the edge slots are used up.
bool aut_add_edge(ere_automaton *aut, int from, const ere_edge &edge);

// An edge record with no last position and no successor.
ere_edge aut_edge(int kind, edge_operand operand, int target);
