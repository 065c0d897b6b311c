// Recursive-descent parser: expression text to parse tree.
#pragma once

#include "ere/node.h"

// Limits that keep the parse and the walks over its tree shallow on absurdly
// long expressions; either is reported as "too complex". No expression of an
// editor line (500 bytes) comes near them.
constexpr int PARSE_NODE_LIMIT = 5000;
constexpr int PARSE_NESTING_LIMIT = 1000;

// Parses an expression from pattern into the arena. Returns its tree and
// stores in *stop the position where the parse stopped (the end, or a ")"
// that closes no group), or returns null after storing an error code; what
// was built stays in the arena until it is released.
ere_node *parse_pattern(node_arena *arena, const char *pattern, int flags, const char **stop,
                        int *error);
