#include "ere/prefilter.h"

#include <cctype>
#include <cstring>

namespace {

bool is_word_byte(int c) {
    return c == '_' || std::isalnum(c);
}

// Adds the bytes a consuming edge can take first.
void add_first_bytes(const Edge &edge, bool *first) {
    for (int c = 1; c < 256; c++) {
        bool takes = false;
        switch (edge.kind) {
        case EDGE_BYTE: takes = c == edge.operand.byte; break;
        case EDGE_NOT_BYTE: takes = c != edge.operand.byte; break;
        case EDGE_STRING: takes = c == edge.operand.string[1]; break;
        case EDGE_ANY: takes = true; break;
        case EDGE_SET: takes = set_has(edge.operand.set, c); break;
        case EDGE_WORD: takes = is_word_byte(c); break;
        case EDGE_NON_WORD: takes = !is_word_byte(c); break;
        default: break;
        }
        if (takes) first[c] = true;
    }
}

// Follows zero-width edges from state (skipping start anchors when asked),
// noting whether an accepting state is reached and which bytes the consuming
// edges met can take first. A back-reference met before anything is consumed
// can only repeat an empty span, so it is followed as zero-width too.
struct Closure {
    const Automaton *aut;
    bool through_start_anchor;
    bool seen[AUT_STATES];
    bool accepting;
    bool consuming;
    bool first[256];
};

void close_over(Closure *c, int state) {
    if (c->seen[state]) return;
    c->seen[state] = true;
    if (c->aut->flags[state] & STATE_ACCEPTING) c->accepting = true;
    for (int e = c->aut->head[state]; e >= 0; e = c->aut->edges[e].next) {
        const Edge &edge = c->aut->edges[e];
        if (!edge_is_zero_width(edge.kind)) {
            c->consuming = true;
            add_first_bytes(edge, c->first);
        } else if (edge.kind != EDGE_START || c->through_start_anchor) {
            close_over(c, edge.target);
        }
    }
}

// The bytes every match of node contains, as a 256-bit set.
void required_bytes(const Node *node, unsigned char *out) {
    std::memset(out, 0, SET_BYTES);
    switch (node->kind) {
    case NODE_CHAR: set_add(out, node->byte); break;
    case NODE_STRING:
        for (int i = 1; i <= node->string[0]; i++) set_add(out, node->string[i]);
        break;
    case NODE_SET: {
        int members = 0, member = 0;
        for (int c = 1; c < 256; c++)
            if (set_has(node->set, c)) members++, member = c;
        if (members == 1) set_add(out, member);
        break;
    }
    case NODE_PLUS:
    case NODE_GROUP: required_bytes(node->left, out); break;
    case NODE_COUNTED:
        if (node->min > 0) required_bytes(node->left, out);
        break;
    case NODE_CONCAT:
    case NODE_ALTERNATION: {
        unsigned char right[SET_BYTES];
        required_bytes(node->left, out);
        required_bytes(node->right, right);
        for (int i = 0; i < SET_BYTES; i++)
            out[i] = static_cast<unsigned char>(node->kind == NODE_CONCAT ? out[i] | right[i]
                                                                          : out[i] & right[i]);
        break;
    }
    default: break;
    }
}

// Letters and digits are common in lines of text and code; prefer a byte
// that is not, since the required-byte test pays off when it is absent.
int pick_required(const unsigned char *required) {
    int best = -1, best_rank = 0;
    for (int c = 1; c < 256; c++) {
        if (!set_has(required, c)) continue;
        int rank = std::isalnum(c) ? 1 : c == ' ' ? 0 : 2;
        if (best < 0 || rank > best_rank) best = c, best_rank = rank;
    }
    return best;
}

} // namespace

void prefilter_build(const Node *tree, const Automaton *aut, int start, Prefilter *pre) {
    Closure c = {};
    c.aut = aut;
    c.through_start_anchor = true;
    close_over(&c, start);
    pre->can_be_empty = c.accepting;
    pre->first_count = 0;
    for (int b = 0; b < 256; b++) {
        pre->first[b] = c.first[b];
        if (c.first[b]) pre->first_count++, pre->first_byte = b;
    }

    Closure unanchored = {};
    unanchored.aut = aut;
    unanchored.through_start_anchor = false;
    close_over(&unanchored, start);
    pre->text_start_only = !unanchored.accepting && !unanchored.consuming;

    unsigned char required[SET_BYTES];
    required_bytes(tree, required);
    pre->required_byte = pick_required(required);
}
