// Walking a buffer's fold tree: stepping through a list, entering and leaving
// folds, with the number of the current line kept right.
//
// A place in a buffer is a fold context, whose current line is the place, and
// that line's number in the whole file (tree_pos): a fold line counts as its
// start marker, its contents follow, its end line is its end marker. Walks
// that may give up (a search, going to a tagged line) work on a tree_pos of
// their own and set it into the buffer when they are done.
//
// Entering a fold always starts at its first line (or its end line), whatever
// the fold's current line was; leaving a fold leaves it at its first line and
// makes its fold line the current line of the list that holds it. Both mark
// the fold's end line changed, because it is drawn as "^" while its list is
// the one shown and as "}}}" otherwise. Nothing here opens or closes a fold,
// and nothing here knows the screen.
#pragma once

#include <cassert>

#include "text/buffer.h"

struct tree_pos {
    tree_fold *fold; // the fold context; its current line is the place
    int line_no;     // the number of that line in the whole file, from 0
};

inline tree_pos buffer_pos(const text_buffer *b) {
    return {b->fold, b->line_no};
}
inline void set_buffer_pos(text_buffer *b, tree_pos p) {
    b->fold = p.fold;
    b->line_no = p.line_no;
}

// Over the current line to the next (not at the end line), back to the
// previous line (not at the first line), to the first line, to the end line,
// to a valid index.
void pos_next(tree_pos *p);
void pos_prev(tree_pos *p);
void pos_first(tree_pos *p);
void pos_last(tree_pos *p);
void pos_to(tree_pos *p, int index);

// Into the fold of the current line, which must be a fold line: at its first
// line, or at its end line.
void pos_enter(tree_pos *p);
void pos_enter_at_end(tree_pos *p);

// Out of the fold, which must have a parent: its fold line becomes the place.
void pos_leave(tree_pos *p);

// The number of the first line of the place's list.
inline int pos_first_line_no(const tree_pos *p) {
    return p->line_no - p->fold->cur_count;
}

// ---- The walk in file order ------------------------------------------------
//
// A walk goes through a buffer's tree one line at a time in the order of its
// file, from a place, under rules that say which folds it enters and where it
// may leave a list. Forwards it enters a fold at its first line, so that a
// fold line comes before its contents, and at the end line of a list it
// leaves the fold and goes on past its fold line. Backwards it enters a fold
// at its end line, so that the contents come first, and at the first line of
// a list it leaves the fold for its fold line, which comes next.
//
// The rules are an object of a type derived from tree_walk_rules; each
// member it declares again takes the place of the one below:
//
//   enters(p)        on a fold or virtual fold line: whether to go into it
//                    (by default into every fold, over every virtual fold)
//   outside(p)       nothing the walk wants is in the rest of p's list: leave
//                    it at once, as at its end (by default never)
//   leaves(f)        at the end of the list of f, which has a parent (forwards;
//                    its first line backwards): whether to leave it, or to end
//                    the walk there (by default always)
//   leave_top(p)     the same at the end of a top list: the rules leave it by
//                    their own means, the place then on the virtual fold line
//                    that led into it, and say so; or end the walk (by default)
//   enter_virtual(p) goes into the file of the virtual fold line at p, the
//                    place then that file's top list at its first line
//
// Nothing here knows how a virtual fold's file is read, which buffer is the
// current one, or the screen: rules that enter virtual folds do that.
struct tree_walk_rules {
    bool enters(const tree_pos &p) const { return line_kind(p.fold->cur) == LINE_FOLD; }
    bool outside(const tree_pos &) const { return false; }
    bool leaves(const tree_fold *) const { return true; }
    bool leave_top(tree_pos *) { return false; }
    void enter_virtual(tree_pos *) { assert(!"rules that enter virtual folds go into them"); }
};

// One line on under the rules; false, the place left alone, where the walk
// ends. Back on a virtual fold line after leave_top, it goes on past it.
template <class Rules> bool walk_forwards(tree_pos *p, Rules &rules) {
    tree_fold *f = p->fold;
    tree_line *l = f->cur;
    if (l == f->end || rules.outside(*p)) {
        if (f->parent) {
            if (!rules.leaves(f)) return false;
            pos_leave(p);
            pos_next(p);
        } else {
            if (!rules.leave_top(p)) return false;
            if (line_kind(p->fold->cur) == LINE_VIRT) pos_next(p);
        }
        return true;
    }
    int kind = line_kind(l);
    if ((kind != LINE_FOLD && kind != LINE_VIRT) || !rules.enters(*p))
        pos_next(p);
    else if (kind == LINE_FOLD)
        pos_enter(p);
    else
        rules.enter_virtual(p);
    return true;
}

// One line back under the rules; false, the place left alone, where the walk
// ends. A fold or virtual fold entered is entered at its end line.
template <class Rules> bool walk_backwards(tree_pos *p, Rules &rules) {
    tree_fold *f = p->fold;
    if (f->cur == f->first || rules.outside(*p)) {
        if (f->parent) {
            if (!rules.leaves(f)) return false;
            pos_leave(p);
            return true;
        }
        return rules.leave_top(p);
    }
    pos_prev(p);
    int kind = line_kind(p->fold->cur);
    if ((kind != LINE_FOLD && kind != LINE_VIRT) || !rules.enters(*p)) return true;
    if (kind == LINE_FOLD) {
        pos_enter_at_end(p);
    } else {
        rules.enter_virtual(p);
        pos_last(p);
    }
    return true;
}

// The fold of the buffer's current line, which must be a fold line, becomes
// the buffer's current fold at its first line, the cursor at into value 0.
void fold_enter(text_buffer *b);

// The buffer's current fold, which must have a parent, is left: its fold line
// becomes the current line of the parent, which becomes the current fold.
void fold_leave(text_buffer *b);
