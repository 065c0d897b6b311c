// The automaton record: fixed tables of states and edges, filled by the
// Thompson construction and by epsilon removal, walked by the matcher.
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

struct ere_edge {
    uint8_t kind;
    edge_operand operand;
    int last; // matcher scratch for zero-width edges: position last entered on the current path, -1
              // none
    int target;
    int next; // next edge of the same state's list, -1 at its end
};

enum state_flag : uint8_t {
    STATE_ACCEPTING = 1,
    STATE_IN_PROGRESS = 2,
    STATE_USEFUL = 4,
};

struct ere_automaton {
    bool sparse; // from ere_alloc_sparse
    int state_count;
    int head[AUT_STATES]; // first edge of each state's list, -1 when empty
    uint8_t flags[AUT_STATES];
    int edge_counter; // next slot number; advances for every request, duplicates included
    ere_edge edges[AUT_EDGES];
};

// A new empty automaton, or null when out of memory. One that is kept with a
// compiled expression is sparse: of its 36 KiB of edge slots only those used
// take memory (a syntax's dozens of expressions would fault in every page
// of each, cleared).
ere_automaton *aut_new(bool sparse = false);
void aut_free(ere_automaton *aut);

// A new state's number, or -1 when all are used.
int aut_new_state(ere_automaton *aut);

// Adds an edge (kind, operand, target) at the front of from's list unless the
// list holds a duplicate. Returns false when the edge slots are used up.
bool aut_add_edge(ere_automaton *aut, int from, const ere_edge &edge);

// An edge record with no last position and no successor.
ere_edge aut_edge(int kind, edge_operand operand, int target);
