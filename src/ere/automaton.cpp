#include "ere/automaton.h"

#include "ere/alloc.h"

#include <cstring>

Automaton *aut_new(bool sparse) {
    void *block = sparse ? ere_alloc_sparse(sizeof(Automaton)) : ere_alloc(sizeof(Automaton));
    auto *aut = static_cast<Automaton *>(block);
    if (!aut) return nullptr;
    aut->sparse = sparse;
    for (int &head : aut->head) head = -1;
    return aut;
}

void aut_free(Automaton *aut) {
    if (aut && aut->sparse)
        ere_free_sparse(aut, sizeof(Automaton));
    else
        ere_free(aut);
}

int aut_new_state(Automaton *aut) {
    if (aut->state_count == AUT_STATES) return -1;
    return aut->state_count++;
}

Edge aut_edge(int kind, EdgeOperand operand, int target) {
    Edge edge;
    edge.kind = static_cast<uint8_t>(kind);
    edge.operand = operand;
    edge.last = -1;
    edge.target = target;
    edge.next = -1;
    return edge;
}

static bool same_edge(const Edge &a, const Edge &b) {
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

bool aut_add_edge(Automaton *aut, int from, const Edge &edge) {
    int slot = aut->edge_counter++;
    for (int e = aut->head[from]; e >= 0; e = aut->edges[e].next)
        if (same_edge(aut->edges[e], edge)) return true;
    if (slot >= AUT_EDGES) return false;
    aut->edges[slot] = edge;
    aut->edges[slot].next = aut->head[from];
    aut->head[from] = slot;
    return true;
}
