// What a compiled expression tells about its matches before any walk: which
// bytes a match can start with, a byte every match contains, and whether a
// match can start only at the start of the text. The match loops use it to
// skip start positions and texts that cannot match; results are unchanged.
#pragma once

#include "ere/automaton.h"
#include "ere/node.h"
#include "ere/scan.h"

struct prefilter_set {
    bool can_be_empty;                 // a match may consume nothing: every position is a candidate
    bool text_start_only;              // every match starts at the start of the text
    int first_count;                   // number of bytes a match can start with
    int first_byte;                    // the only one, when first_count is 1
    unsigned char first_few[SCAN_MAX]; // all of them, when there are at most four
    // A match begins with one of a few consuming edges, reached from the
    // start state through group edges alone: none applying means no match.
    bool start_decides;
    int step_edges[8];
    int step_count;
    // When start_decides, the second bytes that may follow a first byte a:
    // 256 bits from pair_rows + 32 * (pair_row[a] - 1), and none when
    // pair_row[a] is 0 (no match starts with a). Bytes may share a row.
    uint8_t pair_row[256];
    unsigned char *pair_rows; // owned; null when none were made
    int pair_count;           // number of pairs when at most four, else 0
    unsigned char pair_first[4], pair_second[4];
    // Edges of the start state whose target has all of the start state's
    // edges: when no match starts at p and one of them takes the byte at p,
    // no match starts right after that byte either.
    int skip_edges[4];
    int skip_count;
    bool first[256];   // bytes a match can start with (when !can_be_empty)
    int required_byte; // a byte every match contains, or -1
};

// Fills pre for the automaton made from tree; the pairs' rows are a block
// of their own, freed with prefilter_free (without memory for them, the
// expression forgoes that test).
void prefilter_build(const ere_node *tree, const ere_automaton *aut, int start, prefilter_set *pre);
void prefilter_free(prefilter_set *pre);

// The row of the second bytes after a, a byte some match starts with.
inline const unsigned char *pair_row_of(const prefilter_set &pre, int a) {
    return pre.pair_rows + 32 * (pre.pair_row[a] - 1);
}
