// What a consuming edge takes from a text at a position: shared by the walk
// and by the match loops' quick test of a start position.
#pragma once

#include "ere/automaton.h"
#include "ere/node.h"

#include <cctype>
#include <cstring>

// A word character: alphanumeric (in the C library's classification) or "_".
inline bool is_word_byte(unsigned char c) {
    return c == '_' || std::isalnum(c);
}

// The number of bytes a consuming edge (kinds 0 to 6) takes at p without
// passing limit, or -1 when it does not apply there. text[limit] must be
// readable; no edge takes the text's terminating NUL.
inline int edge_consumes(const ere_edge &edge, const unsigned char *text, int p, int limit) {
    unsigned char c = text[p];
    bool applies;
    switch (edge.kind) {
    case EDGE_BYTE: applies = c == edge.operand.byte; break;
    case EDGE_NOT_BYTE: applies = c != 0 && c != edge.operand.byte; break;
    case EDGE_STRING: {
        int n = edge.operand.string[0];
        return p + n <= limit && std::memcmp(text + p, edge.operand.string + 1, n) == 0 ? n : -1;
    }
    case EDGE_ANY: applies = c != 0; break;
    case EDGE_SET: applies = set_has(edge.operand.set, c); break;
    case EDGE_WORD: applies = is_word_byte(c); break;
    case EDGE_NON_WORD: applies = c != 0 && !is_word_byte(c); break;
    default: return -1;
    }
    return applies && p < limit ? 1 : -1;
}
