// Checks of line trees for tests: an independent recount of every cached
// value, and a plain-text picture of a tree for comparing contents.
#pragma once

#include "text/line.h"

#include <string>

// Walks the fold's list and every fold nested in it, recounting from the
// links alone: list links and the end line, line and deep counts, the current
// line with its index and line count, marks, parent links and type bytes.
// Returns "" when all hold, else a description of the first fault found.
std::string check_fold_invariants(const tree_fold *f);

// The fold's contents as text, e.g. `a,b,[s1 4 o:c,<v 0 c>],` for text lines
// a and b, an open fold named s1 at indent 4 holding c and a closed virtual
// fold v, each entry followed by a comma (the end line shows as nothing).
// With marks, a fold's list starts with its marks when either is set:
// `|0-2|a,b,`.
std::string tree_picture(const tree_fold *f, bool marks = false);
