// The compiled expression record behind the public ERE handle.
#pragma once

#include "ere/automaton.h"
#include "ere/node.h"
#include "ere/prefilter.h"

struct dfa_machine;

// Whether the deterministic automata (ere/dfa.h) serve the searches: not yet
// known, made, or not (the walk then does everything; tests set this to
// compare the two).
enum dfa_choice { DFA_UNTRIED, DFA_READY, DFA_UNUSED };

struct ERE {
    node_arena nodes; // the tree's memory while it is compiled
    ere_node *tree;   // null once compiled
    int min_length;
    ere_automaton *automaton; // epsilon-free
    int start;
    prefilter_set prefilter;
    dfa_choice dfa_use;
    dfa_machine *dfa; // made on first use
    // How many positions the automaton may look at from start positions tried
    // one by one, beyond the text's length, before it is run backwards over
    // the rest of the text to find the first start at once.
    int tries_beyond_length;
};
