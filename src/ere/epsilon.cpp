#include "ere/epsilon.h"

namespace {

// A removal that would take more steps than this is given up as too complex.
// It takes an expression built to have exponentially many epsilon paths.
constexpr long WORK_LIMIT = 1L << 22;

struct epsilon_removal {
    ere_automaton *from;
    ere_automaton *to;
    int useful_state;
    // Every epsilon path from the useful state is walked and every edge it
    // meets is requested again, which advances the edge counter. Once the
    // counter is past the last slot, only whether a new edge turns up still
    // matters, and new edges are met only on the first visit of a state: from
    // then on each state is visited once.
    bool every_path;
    bool visited[AUT_STATES];
    long work;
    bool failed;
};

void walk(epsilon_removal *r, int state) {
    ere_automaton *from = r->from;
    if (r->failed || (from->flags[state] & STATE_IN_PROGRESS)) return;
    if (!r->every_path && r->visited[state]) return;
    r->visited[state] = true;
    if (++r->work > WORK_LIMIT) {
        r->failed = true;
        return;
    }
    for (int e = from->head[state]; e >= 0 && !r->failed; e = from->edges[e].next) {
        const ere_edge &edge = from->edges[e];
        if (edge.kind == EDGE_EPSILON) {
            from->flags[state] |= STATE_IN_PROGRESS;
            walk(r, edge.target);
            from->flags[state] &= ~STATE_IN_PROGRESS;
        } else if (!aut_add_edge(r->to, r->useful_state,
                                 aut_edge(edge.kind, edge.operand, edge.target))) {
            r->failed = true;
        } else if (r->to->edge_counter >= AUT_EDGES) {
            r->every_path = false;
        }
    }
}

// Marks in to every state from which end is reached through epsilon edges alone.
void mark_accepting(int end, const ere_automaton *from, ere_automaton *to) {
    to->flags[end] |= STATE_ACCEPTING;
    for (bool changed = true; changed;) {
        changed = false;
        for (int state = 0; state < from->state_count; state++) {
            if (to->flags[state] & STATE_ACCEPTING) continue;
            for (int e = from->head[state]; e >= 0; e = from->edges[e].next) {
                const ere_edge &edge = from->edges[e];
                if (edge.kind == EDGE_EPSILON && (to->flags[edge.target] & STATE_ACCEPTING)) {
                    to->flags[state] |= STATE_ACCEPTING;
                    changed = true;
                    break;
                }
            }
        }
    }
}

} // namespace

bool epsilon_remove(int start, int end, ere_automaton *from, ere_automaton *to) {
    to->state_count = from->state_count;
    from->flags[end] |= STATE_ACCEPTING;
    mark_accepting(end, from, to);

    to->flags[start] |= STATE_USEFUL;
    for (int state = 0; state < from->state_count; state++)
        for (int e = from->head[state]; e >= 0; e = from->edges[e].next)
            if (from->edges[e].kind != EDGE_EPSILON)
                to->flags[from->edges[e].target] |= STATE_USEFUL;

    for (int state = 0; state < from->state_count; state++) {
        if (!(to->flags[state] & STATE_USEFUL)) continue;
        for (int e = from->head[state]; e >= 0; e = from->edges[e].next) {
            const ere_edge &edge = from->edges[e];
            if (edge.kind != EDGE_EPSILON &&
                !aut_add_edge(to, state, aut_edge(edge.kind, edge.operand, edge.target)))
                return false;
        }
    }

    epsilon_removal r = {};
    r.from = from;
    r.to = to;
    r.every_path = to->edge_counter < AUT_EDGES;
    for (int state = 0; state < from->state_count; state++) {
        if (!(to->flags[state] & STATE_USEFUL)) continue;
        r.useful_state = state;
        for (bool &v : r.visited) v = false;
        walk(&r, state);
        if (r.failed) return false;
    }
    return true;
}
