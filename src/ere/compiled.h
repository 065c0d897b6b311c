// The compiled expression record behind the public ERE handle.
#pragma once

#include "ere/automaton.h"
#include "ere/node.h"
#include "ere/prefilter.h"

struct ERE {
    Node *tree; // kept: string and set edges point into it
    int min_length;
    Automaton *automaton; // epsilon-free
    int start;
    Prefilter prefilter;
};
