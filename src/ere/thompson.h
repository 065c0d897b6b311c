// Thompson construction: parse tree to an automaton whose pieces are joined
// by epsilon edges. The order of edge additions fixes the order of every
// state's list, and with it the order in which the matcher explores paths.
#pragma once

#include "ere/automaton.h"
#include "ere/node.h"

// Builds node into aut, storing its start and end states. Returns false when
// the automaton runs out of states or edge slots.
bool thompson_build(const ere_node *node, ere_automaton *aut, int *start, int *end);
