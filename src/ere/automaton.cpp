#include "ere/automaton.h"

#include "ere/alloc.h"

#include <cstring>

ere_automaton *aut_new(bool sparse) {
    // The edge slots are written before they are read: only the lists'
    // heads and the flags start cleared, so a short-lived automaton touches
    // none of the slots it does not use.
    void *block =
        sparse ? ere_alloc_sparse(sizeof(ere_automaton)) : ere_alloc_raw(sizeof(ere_automaton));
    auto *aut = static_cast<ere_automaton *>(block);
    if (!aut) return nullptr;
    aut->sparse = sparse;
    aut->state_count = aut->edge_counter = 0;
    std::memset(aut->flags, 0, sizeof aut->flags);
    for (int &head : aut->head) head = -1;
    return aut;
}

void aut_free(ere_automaton *aut) {
    if (aut && aut->sparse)
        ere_free_sparse(aut, sizeof(ere_automaton));
    else
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
