// What bytes the matches of an expression begin with and hold, for callers
// that choose among expressions by the bytes of a text.
#include "ere/compiled.h"
#include "ere/ere.h"
#include "ere/step.h"

#include <cstring>

namespace {

constexpr int SET_SIZE = 32;

void put(unsigned char *set, int b) {
    set[b >> 3] = static_cast<unsigned char>(set[b >> 3] | 1 << (b & 7));
}

bool edge_takes(const ere_edge &edge, int c) {
    switch (edge.kind) {
    case EDGE_BYTE: return c == edge.operand.byte;
    case EDGE_NOT_BYTE: return c != edge.operand.byte;
    case EDGE_ANY: return true;
    case EDGE_SET: return set_has(edge.operand.set, c);
    case EDGE_WORD: return is_word_byte(static_cast<unsigned char>(c));
    case EDGE_NON_WORD: return !is_word_byte(static_cast<unsigned char>(c));
    default: return false; // strings are spelt out; a back-reference repeats bytes taken before
    }
}

} // namespace

void ere_first_bytes(const ERE *ere, unsigned char *set) {
    const prefilter_set &pre = ere->prefilter;
    std::memset(set, pre.can_be_empty ? 0xff : 0, SET_SIZE);
    for (int b = 1; b < 256 && !pre.can_be_empty; b++)
        if (pre.first[b]) put(set, b);
}

void ere_bytes(const ERE *ere, unsigned char *set) {
    std::memset(set, 0, SET_SIZE);
    const ere_automaton *aut = ere->automaton;
    for (int s = 0; s < aut->state_count; s++) {
        for (int e = aut->head[s]; e >= 0; e = aut->edges[e].next) {
            const ere_edge &edge = aut->edges[e];
            if (edge.kind == EDGE_STRING) {
                for (int i = 1; i <= edge.operand.string[0]; i++) put(set, edge.operand.string[i]);
                continue;
            }
            for (int c = 1; c < 256; c++)
                if (edge_takes(edge, c)) put(set, c);
        }
    }
}
