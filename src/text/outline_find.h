// Finding the definitions of a list by an outline rule, over the items of
// text/outline_scan.h: which runs of the list's entries are definitions, how
// they nest, and which line names each.
//
// A definition begins and ends at entries of the list, never inside a fold
// line that stands there: one whose end would fall inside such a fold is no
// definition (the folds there stay as they are), and the lines inside a fold
// line are never a definition of their own. It never begins or ends where
// something is open (a comment, a string, a bracket, a line carried on by a
// backslash), so that a marker line can go before and after it. Blank lines
// after a definition stay outside it; the comment lines right above it (no
// blank line between) go inside, with what belongs to its head: decorators,
// annotations, attributes, and the lines of a braces head.
//
// Nesting: a definition inside another's body is nested in it, down to the
// depth asked. A braces block whose head has a "(" or "=" (a function's body,
// an initializer) is not searched for definitions inside it, so that the
// statements of a function stay as they are; a class's, a namespace's or a
// struct's body is.
#pragma once

#include "text/outline_scan.h"

struct outline_def {
    int first, last; // its items, inclusive
    int name;        // the item whose line names it
    int parent;      // the index of the definition it is nested in, -1 for none
};

// The definitions of the items, each before the ones nested in it and in the
// order of their lines, down to depth levels (1: only those nested in none;
// 0: every level). The line naming a definition matches the rule's
// expression. When the items begin the file (file_start), the comments on
// its first two lines stay where they are, since a "#!" line or Python's
// coding line means something there. False when memory runs out.
bool outline_find(const outline_rule &rule, const std::vector<outline_item> &items, int depth,
                  bool file_start, std::vector<outline_def> &defs);
