// What a compiled expression tells about its matches before any walk: which
// bytes a match can start with, a byte every match contains, and whether a
// match can start only at the start of the text. The match loops use it to
// skip start positions and texts that cannot match; results are unchanged.
#pragma once

#include "ere/automaton.h"
#include "ere/node.h"

struct Prefilter {
    bool can_be_empty;    // a match may consume nothing: every position is a candidate
    bool text_start_only; // every match starts at the start of the text
    int first_count;      // number of bytes a match can start with
    int first_byte;       // the only one, when first_count is 1
    bool first[256];      // bytes a match can start with (when !can_be_empty)
    int required_byte;    // a byte every match contains, or -1
};

void prefilter_build(const Node *tree, const Automaton *aut, int start, Prefilter *pre);
