// Bracket expressions ("[...]") into 256-bit character sets.
#pragma once

#include "ere/arena.h"

// Parses the bracket expression whose "[" lies just before p. On success
// stores a new set, taken from the arena, in *set and returns the position after the closing "]";
// on failure stores an error code (1, 3, 4, 5, 19, 20 or 21) and returns null.
// Under ERE_ICASE every member a character, a range or a class names is
// folded to lower case before it is added.
const char *bracket_parse(node_arena *arena, const char *p, int flags, unsigned char **set,
                          int *error);
