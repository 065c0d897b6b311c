// Deterministic automata built lazily from a compiled expression: where
// matches start and end, found in one pass over the text without the walk's
// backtracking.
//
// Without back-references, whether a state can reach acceptance from a text
// position depends only on the state, the position and the text, never on
// the path that led there (the walk's rule against zero-width loops only cuts
// paths that come back to where they were). So the set of ends the walk finds
// from a start is the set of accepting states reachable in the automaton, and
// a set of states per position answers for all start positions at once. The
// walk is still run to find the spans of a match once its start is known.
//
// A state of these automata is a set of automaton states entered at one
// position and what lies before it (the text's start, a word byte or another
// byte): zero-width tests are decided when the byte after the position is
// seen. States are made as the text needs them and kept in a cache of bounded
// size, which is emptied when full.
#pragma once

struct ERE;
struct dfa_machine;

// The automata of ere, made on first use and kept in the handle; null when
// the expression has a back-reference or is too large, or memory is short:
// the walk then does everything.
dfa_machine *dfa_of(ERE *ere);
void dfa_free(dfa_machine *dfa);

// For tests: caches made from now on hold at most this many states (at least
// 2), so that they are emptied often; 0 restores the limit by memory.
void dfa_cap_cache(int states);

// What the scans return besides a position: nothing found, the poll asked to
// give up (recorded as for the walk), or no memory for the states (the caller
// falls back to the walk).
constexpr int DFA_NONE = -1, DFA_GAVE_UP = -2, DFA_NO_MEMORY = -3;

// text[length] is the text's NUL; every position given lies in 0..length.

// The first position from `from` on at which a match starts (from <= length).
// What a run over a text finds is kept for the next call with the same text
// and a later `from`.
int dfa_first_start(dfa_machine *dfa, const unsigned char *text, int length, int from);

// The latest end at or before limit of a match that starts at start; scanned
// (when not null) receives the number of positions looked at.
int dfa_longest_end(dfa_machine *dfa, const unsigned char *text, int start, int limit,
                    int *scanned);

// The latest end at or before limit of any match.
int dfa_last_end(dfa_machine *dfa, const unsigned char *text, int limit);

// The earliest start of a match that ends at end.
int dfa_first_start_ending_at(dfa_machine *dfa, const unsigned char *text, int end);
