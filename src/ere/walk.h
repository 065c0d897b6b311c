// The search primitive: a depth-first walk of the epsilon-free automaton from
// one start position, trying every path and keeping the best match end.
#pragma once

#include "ere/compiled.h"
#include "ere/ere.h"

// The subject of a match: text[length] is its NUL.
struct walk_subject {
    const unsigned char *text;
    int length;
};

// Walks ere from position start with match ends limited to limit (at most the
// text's length). Returns the best end found, or -1. When spans is not null it
// receives the spans of the winning path (and is written only when an end is
// found). Returns -1 too when the poll asks to give up (or the walk's stack
// cannot grow); match_gave_up() (ere/poll.h) then tells so.
int walk_search(ERE *ere, int flags, const walk_subject &subject, int start, int limit,
                ERE_SUBS *spans);
