// The search commands: finding and replacing through folds and virtual folds
// (commands/search.h, commands/search_walk.h).
#pragma once

// search_for (pattern, case sensitive, regular expression, when to enter
// folds, when to enter virtual folds, forwards, times, confirm): a new search
// whose scope is the fold the cursor is in. Raises the errors of search_setup
// and search_run.
void cmd_s_for();

// search_replace (pattern, replacement, then the seven settings of
// search_for): the same, replacing each match by the replacement, in which
// "\1" to "\9" stand for an expression's groups and a backslash takes the
// next character literally.
void cmd_s_replace();

// search_again: the last search or replacement once more, in its scope and
// with its settings, from the cursor. Outside that scope it asks "no longer
// in scope of original search, reset scope: "; yes makes the fold the cursor
// is in the scope, no or Escape raises "aborted". Raises "no previous search
// pattern" before the first search.
void cmd_s_again();
