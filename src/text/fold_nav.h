// Walking a buffer's fold tree: stepping through a list, entering and leaving
// folds, with the number of the current line kept right.
//
// A place in a buffer is a fold context, whose current line is the place, and
// that line's number in the whole file (TREE_POS): a fold line counts as its
// start marker, its contents follow, its end line is its end marker. Walks
// that may give up (a search, going to a tagged line) work on a TREE_POS of
// their own and set it into the buffer when they are done.
//
// Entering a fold always starts at its first line (or its end line), whatever
// the fold's current line was; leaving a fold leaves it at its first line and
// makes its fold line the current line of the list that holds it. Both mark
// the fold's end line changed, because it is drawn as "^" while its list is
// the one shown and as "}}}" otherwise. Nothing here opens or closes a fold,
// and nothing here knows the screen.
#pragma once

#include "text/buffer.h"

struct TREE_POS {
    FOLD *fold;  // the fold context; its current line is the place
    int line_no; // the number of that line in the whole file, from 0
};

inline TREE_POS buffer_pos(const BUFF *b) {
    return {b->fold, b->line_no};
}
inline void set_buffer_pos(BUFF *b, TREE_POS p) {
    b->fold = p.fold;
    b->line_no = p.line_no;
}

// Over the current line to the next (not at the end line), back to the
// previous line (not at the first line), to the first line, to the end line,
// to a valid index.
void pos_next(TREE_POS *p);
void pos_prev(TREE_POS *p);
void pos_first(TREE_POS *p);
void pos_last(TREE_POS *p);
void pos_to(TREE_POS *p, int index);

// Into the fold of the current line, which must be a fold line: at its first
// line, or at its end line.
void pos_enter(TREE_POS *p);
void pos_enter_at_end(TREE_POS *p);

// Out of the fold, which must have a parent: its fold line becomes the place.
void pos_leave(TREE_POS *p);

// The number of the first line of the place's list.
inline int pos_first_line_no(const TREE_POS *p) {
    return p->line_no - p->fold->cur_count;
}

// The fold of the buffer's current line, which must be a fold line, becomes
// the buffer's current fold at its first line, the cursor at into value 0.
void fold_enter(BUFF *b);

// The buffer's current fold, which must have a parent, is left: its fold line
// becomes the current line of the parent, which becomes the current fold.
void fold_leave(BUFF *b);
