// What a consuming edge takes from a text at a position: shared by the walk
// and by the match loops' quick test of a start position; and the bytes it
// can take, for those that build tables from them.
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

// Adds to set (SET_BYTES bytes) every byte a consuming edge (kinds 0 to 6)
// can take first: a string's first byte. The NUL is never one.
inline void edge_bytes(const ere_edge &edge, unsigned char *set) {
    switch (edge.kind) {
    case EDGE_BYTE: set_add(set, edge.operand.byte); break;
    case EDGE_STRING: set_add(set, edge.operand.string[1]); break;
    case EDGE_SET:
        for (int i = 0; i < SET_BYTES; i++) set[i] |= edge.operand.set[i];
        break;
    case EDGE_NOT_BYTE:
    case EDGE_ANY: {
        int excluded = edge.operand.byte;
        bool had = set_has(set, excluded);
        std::memset(set, 0xff, SET_BYTES);
        if (edge.kind == EDGE_NOT_BYTE && !had)
            set[excluded >> 3] &= static_cast<unsigned char>(~(1 << (excluded & 7)));
        break;
    }
    default: // a word or a non-word byte
        for (int c = 1; c < 256; c++)
            if (is_word_byte(static_cast<unsigned char>(c)) == (edge.kind == EDGE_WORD))
                set_add(set, c);
        break;
    }
    set[0] &= static_cast<unsigned char>(~1);
}
