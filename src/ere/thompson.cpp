#include "ere/thompson.h"

namespace {

edge_operand no_operand() {
    edge_operand operand;
    operand.string = nullptr;
    return operand;
}

bool epsilon(ere_automaton *aut, int from, int to) {
    return aut_add_edge(aut, from, aut_edge(EDGE_EPSILON, no_operand(), to));
}

bool new_pair(ere_automaton *aut, int *start, int *end) {
    *start = aut_new_state(aut);
    if (*start < 0) return false;
    *end = aut_new_state(aut);
    return *end >= 0;
}

// One edge between two new states.
bool build_single(ere_automaton *aut, int kind, edge_operand operand, int *start, int *end) {
    return new_pair(aut, start, end) && aut_add_edge(aut, *start, aut_edge(kind, operand, *end));
}

bool build_counted(const ere_node *node, ere_automaton *aut, int *start, int *end) {
    if (!new_pair(aut, start, end)) return false;
    int cur = *start, cs, ce;
    for (uint32_t i = 0; i < node->min; i++) {
        if (!thompson_build(node->left, aut, &cs, &ce) || !epsilon(aut, cur, cs)) return false;
        cur = ce;
    }
    if (!epsilon(aut, cur, *end)) return false;
    if (node->max == COUNT_UNBOUNDED)
        return thompson_build(node->left, aut, &cs, &ce) && epsilon(aut, cur, cs) &&
               epsilon(aut, ce, *end) && epsilon(aut, ce, cs);
    for (uint32_t i = node->min; i < node->max; i++) {
        if (!thompson_build(node->left, aut, &cs, &ce) || !epsilon(aut, cur, cs) ||
            !epsilon(aut, ce, *end))
            return false;
        cur = ce;
    }
    return true;
}

} // namespace

bool thompson_build(const ere_node *node, ere_automaton *aut, int *start, int *end) {
    edge_operand operand = no_operand();
    int cs, ce, rs, re;
    switch (node->kind) {
    case NODE_EMPTY: return new_pair(aut, start, end) && epsilon(aut, *start, *end);
    case NODE_CHAR:
        operand.byte = node->byte;
        return build_single(aut, EDGE_BYTE, operand, start, end);
    case NODE_EXCLUDED:
        operand.byte = node->byte;
        return build_single(aut, EDGE_NOT_BYTE, operand, start, end);
    case NODE_STRING:
        operand.string = node->string;
        return build_single(aut, EDGE_STRING, operand, start, end);
    case NODE_SET: operand.set = node->set; return build_single(aut, EDGE_SET, operand, start, end);
    case NODE_WORD_CHAR: return build_single(aut, EDGE_WORD, operand, start, end);
    case NODE_NON_WORD_CHAR: return build_single(aut, EDGE_NON_WORD, operand, start, end);
    case NODE_ANY: return build_single(aut, EDGE_ANY, operand, start, end);
    case NODE_START_ANCHOR: return build_single(aut, EDGE_START, operand, start, end);
    case NODE_END_ANCHOR: return build_single(aut, EDGE_END, operand, start, end);
    case NODE_WORD_START: return build_single(aut, EDGE_WORD_START, operand, start, end);
    case NODE_WORD_END: return build_single(aut, EDGE_WORD_END, operand, start, end);
    case NODE_INSIDE_WORD: return build_single(aut, EDGE_INSIDE_WORD, operand, start, end);
    case NODE_WORD_BOUNDARY: return build_single(aut, EDGE_WORD_BOUNDARY, operand, start, end);
    case NODE_BACKREF:
        operand.group = node->byte;
        return build_single(aut, EDGE_BACKREF, operand, start, end);
    case NODE_OPTIONAL:
        return thompson_build(node->left, aut, &cs, &ce) && new_pair(aut, start, end) &&
               epsilon(aut, *start, *end) && epsilon(aut, *start, cs) && epsilon(aut, ce, *end);
    case NODE_PLUS:
        return thompson_build(node->left, aut, start, end) && epsilon(aut, *end, *start);
    case NODE_STAR: {
        if (!thompson_build(node->left, aut, &cs, &ce)) return false;
        int x = aut_new_state(aut);
        *start = *end = x;
        return x >= 0 && epsilon(aut, x, cs) && epsilon(aut, ce, x);
    }
    case NODE_COUNTED: return build_counted(node, aut, start, end);
    case NODE_ALTERNATION:
        return thompson_build(node->left, aut, &cs, &ce) &&
               thompson_build(node->right, aut, &rs, &re) && new_pair(aut, start, end) &&
               epsilon(aut, *start, cs) && epsilon(aut, *start, rs) && epsilon(aut, ce, *end) &&
               epsilon(aut, re, *end);
    case NODE_CONCAT:
        return thompson_build(node->left, aut, start, &ce) &&
               thompson_build(node->right, aut, &rs, end) && epsilon(aut, ce, rs);
    case NODE_GROUP:
        return thompson_build(node->left, aut, &cs, &ce) && new_pair(aut, start, end) &&
               aut_add_edge(aut, *start, aut_edge(EDGE_OPEN, operand, cs)) &&
               aut_add_edge(aut, ce, aut_edge(EDGE_CLOSE, operand, *end));
    }
    return false;
}
