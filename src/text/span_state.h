// The span state of every line: which span of its language's syntax rules
// (text/syntax.h) a line starts in, kept with the line so that colouring a
// line never scans the lines above it again.
//
// File order runs through folds whatever is open or closed: a fold line, its
// contents, its end line, then the line after the fold line. Fold, virtual
// fold and end lines pass the state on unchanged (a fold's markers are
// comments of the file's language): a fold line holds the state its first
// line starts in, its end line the state its last line ends in. A virtual
// fold's file is another buffer with states of its own.
//
// A state lives in the line's span byte (text/line.h): 7 bits of state,
// SPAN_UNKNOWN when not computed, and a bit for a line that waits to be
// settled. The byte costs memory only once written, so lines whose states are
// never computed cost none; a fold keeps its own fold line and a flag saying
// whether any line inside may hold a known state.
//
// States are computed lazily, in file order, from the first line whose state
// is not known (span_fill), so the known lines of a buffer are always a
// beginning of its file order. Editing never scans more than the lines it
// brings in: the line tree calls the hooks below at each change. A line
// whose text changed, and a line that now follows other lines than before,
// wait to be settled; lines brought in lose the states they had elsewhere
// and are scanned from the state of the place they went to. span_settle then
// rescans from each waiting line on, in file order, until a line comes out
// in the state it had: an edit costs the lines whose state it changed.
//
// While syntax colour is off (span_pause) the hooks do nothing and states go
// stale; the next span_settle forgets them all. Nothing here prints or throws.
#pragma once

#include "text/buffer.h"

// ---- For the screen -------------------------------------------------------------

// Settles every waiting line of every buffer by its buffer's rules (first
// forgetting every state when colour was paused, or when the list of waiting
// lines could not grow).
void span_settle();

// Syntax colour is off: no state is kept up to date from now on, and the
// next span_settle forgets them all.
void span_pause();

// Forgets every state of the buffer's lines: its language or the language's
// rules changed.
void span_forget(text_buffer *b);

// Makes known the state of every line of b from the start of its file up to
// `to`, which is f's current line (f being b's current fold) or a line after
// it in file order, scanning the lines not known yet. Settle first.
void span_fill(text_buffer *b, tree_fold *f, const tree_line *to);

// The state the line starts in: SPAN_NONE, a span state, or SPAN_UNKNOWN.
int span_state(const tree_line *l);

// ---- For the line tree (text/line.cpp, text/line_list.cpp) ------------------

// The state of a line, read before a change.
int span_state_for_change(const tree_line *l);

// A text line's text changed.
void span_text_changed(tree_line *l);

// A line is about to be linked into a list, or moved to another: it and
// everything inside it lose their states.
void span_forget_line(tree_line *l);

// The lines first to last of f's list (whose states were forgotten) now stand
// where a line that started in `state` stood, before that line.
void span_placed(tree_fold *f, tree_line *first, tree_line *last, int state);

// l, of f's list, now follows what a line that started in `state` followed
// (the lines before it were taken out).
void span_followed(tree_fold *f, tree_line *l, int state);

// A line record (an end line with its fold) is about to be freed.
void span_released(tree_line *l);
