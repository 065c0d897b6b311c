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
            // A back-reference (zero-width in kind) repeats bytes taken before.
            if (!edge_is_zero_width(edge.kind)) edge_bytes(edge, set);
        }
    }
}
