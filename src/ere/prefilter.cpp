#include "ere/prefilter.h"

#include "ere/alloc.h"
#include "ere/step.h"

#include <cctype>
#include <cstring>

namespace {

// Adds the bytes a consuming edge can take first (never the NUL).
void add_first_bytes(const ere_edge &edge, bool *first) {
    unsigned char set[SET_BYTES] = {};
    edge_bytes(edge, set);
    for (int i = 0; i < SET_BYTES; i++)
        for (int bits = set[i]; bits; bits &= bits - 1) first[i * 8 + __builtin_ctz(bits)] = true;
}

// Follows zero-width edges from state (skipping start anchors when asked),
// noting whether an accepting state is reached and which bytes the consuming
// edges met can take first. A back-reference met before anything is consumed
// can only repeat an empty span, so it is followed as zero-width too; after
// the first byte it may take anything, which is noted.
struct prefilter_closure {
    const ere_automaton *aut;
    bool through_start_anchor;
    bool after_first_byte;
    bool seen[AUT_STATES];
    bool accepting;
    bool consuming;
    bool anything;
    bool first[256];
};

void close_over(prefilter_closure *c, int state) {
    if (c->seen[state]) return;
    c->seen[state] = true;
    if (c->aut->flags[state] & STATE_ACCEPTING) c->accepting = true;
    for (int e = c->aut->head[state]; e >= 0; e = c->aut->edges[e].next) {
        const ere_edge &edge = c->aut->edges[e];
        if (!edge_is_zero_width(edge.kind)) {
            c->consuming = true;
            add_first_bytes(edge, c->first);
        } else if (edge.kind == EDGE_BACKREF && c->after_first_byte) {
            c->anything = true;
        } else if (edge.kind != EDGE_START || c->through_start_anchor) {
            close_over(c, edge.target);
        }
    }
}

// Notes the consuming edges a walk from state can take first when only group
// edges (which always apply) lie before them. False when an accepting state
// or another zero-width edge comes first, or there are too many.
bool collect_steps(const ere_automaton *aut, int state, bool *seen, prefilter_set *pre) {
    if (seen[state]) return true;
    seen[state] = true;
    if (aut->flags[state] & STATE_ACCEPTING) return false;
    for (int e = aut->head[state]; e >= 0; e = aut->edges[e].next) {
        const ere_edge &edge = aut->edges[e];
        if (edge.kind == EDGE_OPEN || edge.kind == EDGE_CLOSE) {
            if (!collect_steps(aut, edge.target, seen, pre)) return false;
        } else if (edge_is_zero_width(edge.kind)) {
            return false;
        } else {
            int most = static_cast<int>(sizeof pre->step_edges / sizeof pre->step_edges[0]);
            if (pre->step_count == most) return false;
            pre->step_edges[pre->step_count++] = e;
        }
    }
    return true;
}

// The pairs of bytes a match can start with, through each step edge (which
// consumes at least one byte): a row of the second bytes after each byte a
// step can take first, in a block of their own. False when memory runs out.
bool build_pairs(const ere_automaton *aut, prefilter_set *pre) {
    constexpr int row_bytes = 256 / 8;
    bool first[8][256] = {};
    unsigned char second[8][row_bytes] = {};
    for (int i = 0; i < pre->step_count; i++) {
        const ere_edge &edge = aut->edges[pre->step_edges[i]];
        add_first_bytes(edge, first[i]);
        if (edge.kind == EDGE_STRING) {
            set_add(second[i], edge.operand.string[2]);
            continue;
        }
        prefilter_closure c = {};
        c.aut = aut;
        c.through_start_anchor = true;
        c.after_first_byte = true;
        close_over(&c, edge.target);
        for (int b = 0; b < 256; b++)
            if (c.accepting || c.anything || c.first[b]) set_add(second[i], b);
    }
    // Bytes taken first by the same steps share a row: one for all the
    // bytes after ".*", a few for a union of words.
    int rows = 0;
    uint8_t row_of_steps[256] = {}; // by the set of steps, a bit each
    for (int a = 1; a < 256; a++) {
        int steps = 0;
        for (int i = 0; i < pre->step_count; i++) steps |= first[i][a] << i;
        if (steps && !row_of_steps[steps]) row_of_steps[steps] = static_cast<uint8_t>(++rows);
        pre->pair_row[a] = row_of_steps[steps];
    }
    pre->pair_rows = static_cast<unsigned char *>(ere_alloc(rows * row_bytes));
    if (!pre->pair_rows) return false;
    for (int steps = 1; steps < 256; steps++) {
        unsigned char *row = pre->pair_rows + (row_of_steps[steps] - 1) * row_bytes;
        for (int i = 0; i < pre->step_count && row_of_steps[steps]; i++)
            if (steps >> i & 1)
                for (int k = 0; k < row_bytes; k++) row[k] |= second[i][k];
    }
    // The pairs when at most four; a byte of a row at a time, most of them 0.
    int count = 0;
    for (int a = 1; a < 256 && count <= 4; a++) {
        const unsigned char *row = pre->pair_row[a] ? pair_row_of(*pre, a) : nullptr;
        for (int k = 0; row && k < row_bytes && count <= 4; k++) {
            for (int bits = row[k]; bits && ++count <= 4; bits &= bits - 1) {
                pre->pair_first[count - 1] = static_cast<unsigned char>(a);
                pre->pair_second[count - 1] =
                    static_cast<unsigned char>(k * 8 + __builtin_ctz(bits));
            }
        }
    }
    pre->pair_count = count <= 4 ? count : 0;
    return true;
}

// The bytes every match of node contains, as a 256-bit set.
void required_bytes(const ere_node *node, unsigned char *out) {
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
// that is not, and one that a match cannot start with (the search for a start
// finds those anyway), since the required-byte test pays off when it is absent.
int pick_required(const unsigned char *required, const bool *first) {
    int best = -1, best_rank = 0;
    for (int c = 1; c < 256; c++) {
        if (!set_has(required, c)) continue;
        int rank = (std::isalnum(c) ? 1 : c == ' ' ? 0 : 2) + (first[c] ? 0 : 4);
        if (best < 0 || rank > best_rank) best = c, best_rank = rank;
    }
    return best;
}

bool same_step(const ere_edge &a, const ere_edge &b) {
    if (a.kind != b.kind || a.target != b.target) return false;
    switch (a.kind) {
    case EDGE_BYTE:
    case EDGE_NOT_BYTE: return a.operand.byte == b.operand.byte;
    case EDGE_STRING:
        return std::memcmp(a.operand.string, b.operand.string, a.operand.string[0] + 1) == 0;
    case EDGE_SET: return std::memcmp(a.operand.set, b.operand.set, SET_BYTES) == 0;
    default: return true;
    }
}

// Whether every edge of state has an equal edge in other's list: then every
// path from state has a twin from other.
bool has_all_steps_of(const ere_automaton *aut, int other, int state) {
    for (int e = aut->head[state]; e >= 0; e = aut->edges[e].next) {
        bool found = false;
        for (int f = aut->head[other]; f >= 0 && !found; f = aut->edges[f].next)
            found = same_step(aut->edges[e], aut->edges[f]);
        if (!found) return false;
    }
    return true;
}

} // namespace

void prefilter_build(const ere_node *tree, const ere_automaton *aut, int start,
                     prefilter_set *pre) {
    prefilter_closure c = {};
    c.aut = aut;
    c.through_start_anchor = true;
    close_over(&c, start);
    pre->can_be_empty = c.accepting;
    pre->first_count = 0;
    for (int b = 0; b < 256; b++) {
        pre->first[b] = c.first[b];
        if (!c.first[b]) continue;
        if (pre->first_count < SCAN_MAX)
            pre->first_few[pre->first_count] = static_cast<unsigned char>(b);
        pre->first_count++;
        pre->first_byte = b;
    }
    bool seen[AUT_STATES] = {};
    pre->step_count = 0;
    pre->start_decides = collect_steps(aut, start, seen, pre);
    pre->skip_count = 0;
    pre->pair_count = 0;
    if (pre->start_decides) pre->start_decides = build_pairs(aut, pre);
    if (pre->start_decides) {
        // Skipping compares with the start state's own edges: only when the
        // steps are those.
        bool own_steps = true;
        for (int e = aut->head[start]; e >= 0; e = aut->edges[e].next)
            if (edge_is_zero_width(aut->edges[e].kind)) own_steps = false;
        for (int e = aut->head[start]; e >= 0 && own_steps && pre->skip_count < 4;
             e = aut->edges[e].next)
            if (has_all_steps_of(aut, aut->edges[e].target, start))
                pre->skip_edges[pre->skip_count++] = e;
    }

    prefilter_closure unanchored = {};
    unanchored.aut = aut;
    unanchored.through_start_anchor = false;
    close_over(&unanchored, start);
    pre->text_start_only = !unanchored.accepting && !unanchored.consuming;

    unsigned char required[SET_BYTES];
    required_bytes(tree, required);
    pre->required_byte = pick_required(required, pre->first);
}

void prefilter_free(prefilter_set *pre) {
    ere_free(pre->pair_rows);
    pre->pair_rows = nullptr;
}
