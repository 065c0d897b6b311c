#include "ere/automaton.h"

#include "ere/alloc.h"
#include "ere/node.h"

#include <cstring>

namespace {

struct work_tables {
    int head[AUT_STATES];
    uint8_t flags[AUT_STATES];
    ere_edge edges[AUT_EDGES]; // written before they are read
};

work_tables work[2];
ere_automaton work_automaton[2];

} // namespace

ere_automaton *aut_work(int which) {
    work_tables &t = work[which];
    std::memset(t.flags, 0, sizeof t.flags);
    for (int &head : t.head) head = -1;
    work_automaton[which] = {0, 0, t.head, t.flags, t.edges};
    return &work_automaton[which];
}

namespace {

// The bytes of an edge's string or set, which a compact automaton copies.
size_t operand_size(const ere_edge &edge) {
    if (edge.kind == EDGE_STRING) return edge.operand.string[0] + 1;
    return edge.kind == EDGE_SET ? SET_BYTES : 0;
}

} // namespace

ere_automaton *aut_compact(const ere_automaton *aut) {
    int states = aut->state_count, edges = 0;
    size_t operands = 0;
    for (int s = 0; s < states; s++)
        for (int e = aut->head[s]; e >= 0; e = aut->edges[e].next, edges++)
            operands += operand_size(aut->edges[e]);
    // The edges first, then the heads, the flags and the operands: each aligned.
    size_t size =
        sizeof(ere_automaton) + edges * sizeof(ere_edge) + states * sizeof(int) + states + operands;
    auto *block = static_cast<unsigned char *>(ere_alloc_raw(size));
    if (!block) return nullptr;
    auto *copy = reinterpret_cast<ere_automaton *>(block);
    copy->state_count = states;
    copy->edge_counter = edges;
    copy->edges = reinterpret_cast<ere_edge *>(block + sizeof(ere_automaton));
    copy->head = reinterpret_cast<int *>(copy->edges + edges);
    copy->flags = reinterpret_cast<uint8_t *>(copy->head + states);
    std::memcpy(copy->flags, aut->flags, states);
    unsigned char *operand = copy->flags + states;
    int slot = 0;
    for (int s = 0; s < states; s++) {
        copy->head[s] = aut->head[s] < 0 ? -1 : slot;
        for (int e = aut->head[s]; e >= 0; e = aut->edges[e].next, slot++) {
            ere_edge &edge = copy->edges[slot];
            edge = aut->edges[e];
            edge.next = aut->edges[e].next < 0 ? -1 : slot + 1;
            size_t n = operand_size(edge);
            if (edge.kind == EDGE_STRING)
                edge.operand.string =
                    static_cast<unsigned char *>(std::memcpy(operand, edge.operand.string, n));
            else if (edge.kind == EDGE_SET)
                edge.operand.set =
                    static_cast<unsigned char *>(std::memcpy(operand, edge.operand.set, n));
            operand += n;
        }
    }
    return copy;
}

void aut_free(ere_automaton *aut) {
    ere_free(aut);
}

int aut_new_state(ere_automaton *aut) {
    if (aut->state_count == AUT_STATES) return -1;
    return aut->state_count++;
}

ere_edge aut_edge(int kind, edge_operand operand, int target) {
    ere_edge edge;
    edge.kind = static_cast<uint8_t>(kind);
    edge.operand = operand;
    edge.last = -1;
    edge.target = target;
    edge.next = -1;
    return edge;
}

static bool same_edge(const ere_edge &a, const ere_edge &b) {
    if (a.target != b.target || a.kind != b.kind) return false;
    switch (a.kind) {
    case EDGE_BYTE:
    case EDGE_NOT_BYTE: return a.operand.byte == b.operand.byte;
    case EDGE_STRING:
        return a.operand.string[0] == b.operand.string[0] &&
               std::memcmp(a.operand.string + 1, b.operand.string + 1, a.operand.string[0]) == 0;
    case EDGE_SET: return a.operand.set == b.operand.set;
    case EDGE_BACKREF: return a.operand.group == b.operand.group;
    case EDGE_WORD:
    case EDGE_NON_WORD: return false;
    default: return true;
    }
}

bool aut_add_edge(ere_automaton *aut, int from, const ere_edge &edge) {
    int slot = aut->edge_counter++;
    for (int e = aut->head[from]; e >= 0; e = aut->edges[e].next)
        if (same_edge(aut->edges[e], edge)) return true;
    if (slot >= AUT_EDGES) return false;
    aut->edges[slot] = edge;
    aut->edges[slot].next = aut->head[from];
    aut->head[from] = slot;
    return true;
}
