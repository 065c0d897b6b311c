// Whether a parse tree can match the whole of a short text, found by
// following the sets of positions its pieces can end at, without an
// automaton: for testing a file name against many patterns once each.
#pragma once

#include "ere/node.h"

// False only when no match of the tree covers the whole text (length bytes);
// true when one may: when one does, and for what this does not follow (a
// back-reference, a tree too deep, a text too long, large counts).
bool tree_may_match_whole(const ere_node *tree, const char *text, int length);
