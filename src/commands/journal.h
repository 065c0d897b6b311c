// The undo journal: every change of a buffer's tree, kept so that the user
// can take it back and make it again.
//
// Each buffer has a journal of its own: a list of actions, the oldest first,
// of which the first `done` are applied and the rest were undone and can be
// redone. An action is what one key, menu choice or command text did to the
// buffer (journal_begin and journal_end mark them out), except that the
// printable keys typed one after the other on one line make one action.
//
// The journal records at the text model's mutation points (text/line.h,
// TREE_WATCHER), which every command goes through, so commands need no code
// of their own: a line inserted or removed, a run of lines moved, a string,
// indent or open flag changed, the block marks set. A change belongs to the
// buffer whose top fold its fold hangs from; changes in folds that hang from
// no buffer (the holders of blocks, copies being made, files being read) are
// not recorded. A line's string, indent and open flag belong to the current
// buffer: commands change lines of the current buffer only. Each record keeps
// what the change replaced (the old string itself, not a copy) and swaps it
// back when undone, so that it then holds what redoing needs.
//
// Lines that leave a buffer stay valid for as long as a record needs them:
// they are on the undelete stack, back in the buffer, or owned by the
// journal, which keeps every line that is about to be freed while a record
// needs it (TREE_WATCHER::deleting). The stack never changes under an undo:
// lines an undo needs back from it are lent (the entry gets an equal copy
// before anything could tell, journal_settle) or copied at once. See
// docs/architecture.md for the whole argument.
//
// Nothing is recorded until journal_start; reading a buffer afresh starts its
// journal afresh (journal_read), and deleting a buffer drops its journal. Past
// JOURNAL_MAX_ACTIONS actions or JOURNAL_MAX_BYTES bytes the oldest actions
// are dropped (the newest is always kept).
#pragma once

#include "text/buffer.h"

#include <cstddef>

inline constexpr size_t JOURNAL_MAX_ACTIONS = 1000;
inline constexpr size_t JOURNAL_MAX_BYTES = size_t{64} << 20;

// ---- Switching it on and off -----------------------------------------------

// Every buffer's journal starts empty, and every change from now on is
// recorded.
void journal_start();
// Drops every journal with what it owns and records nothing more.
void journal_stop();
bool journal_running();

// ---- Actions -----------------------------------------------------------------

// What runs between them is one action of each buffer it changes. typing says
// that a printable key is being typed: the action of the characters typed
// just before it (which can only be on the same line) stays open for it, and
// any other key, an undo, a redo or a write closes it.
void journal_begin(bool typing);
void journal_end();

// ---- The file ------------------------------------------------------------------

// buff_read has returned: the buffer's journal, emptied when the old tree
// went, records again from here (the reading itself is not recorded). Until
// this, or until the key ends, nothing of that buffer is.
void journal_read(BUFF *b);

// The buffer's text is now its file's (it was written): undoing or redoing
// back to this point clears its changed flag.
void journal_saved(BUFF *b);
// No point of its journal is its file's any more (it was renamed).
void journal_unsaved(BUFF *b);

// ---- The undelete stack --------------------------------------------------------

// other_undelete is about to take line l (a line, or the holder of a block)
// off the stack into buffer b. Returns l, or a deep copy of it when the journal
// of another buffer needs l itself, which that journal then keeps. Raises "out
// of memory" when the copy cannot be made.
LINE *journal_take_from_stack(LINE *l, BUFF *b);

// The undelete stack calls it before anything reads or changes its entries:
// an entry whose lines an undo lent back into a buffer gets its own copy of
// them, made from the buffer, where nothing has changed them since. When
// memory runs out for the copy the entry goes from the stack; its lines are
// in the buffer.
void journal_settle();

// The undelete stack is about to release the entry holding item (a line or a
// holder), squeezed or dropped as the oldest. 1 when an undo lent its lines
// back into a buffer, where they stay (an emptied holder stays the
// journal's): the stack frees nothing then, and no copy is made. 0 when the
// stack frees the item itself.
int journal_release_lent(const LINE *item);

// ---- Undo and redo -------------------------------------------------------------

// Where a buffer's cursor was: the number of its line in the file, its into
// value, remembered column and row, by which it is put back; and its fold.
struct JOURNAL_CURSOR {
    const FOLD *fold;
    int line_no, into, col, row;
};

// Takes back the buffer's last applied action, or makes again the first one
// undone: the tree becomes what it was when the action started (ended), the
// buffer's current fold its top fold at its first line, and its changed flag
// says whether the text differs from the file's. 0 when there is none. Stores
// where the cursor was when the action started (ended). Raises "out of
// memory", changing nothing, when copies of lines on the undelete stack
// cannot be made.
int journal_undo(BUFF *b, JOURNAL_CURSOR *was);
int journal_redo(BUFF *b, JOURNAL_CURSOR *was);

// ---- For tests and benchmarks --------------------------------------------------

// Actions of the buffer applied, and undone.
size_t journal_done(const BUFF *b);
size_t journal_undone(const BUFF *b);
