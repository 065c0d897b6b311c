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
// tree_watcher), which every command goes through, so commands need no code
// of their own: a line inserted or removed, a run of lines moved, a string,
// indent or open flag changed, the block marks set. Each record keeps what
// the change replaced (the old string itself, not a copy) and swaps it back
// when undone, so that it then holds what redoing needs.
//
// Which buffer a change belongs to: a change of a list or of a fold's marks or
// name, to the buffer whose top fold the fold hangs from; an indent or open
// flag of a fold line, likewise through the fold it holds. A text or virtual
// fold line has no fold at hand: its string, indent and open flag belong to
// the current buffer, the one commands edit (a search that replaces in a
// virtual fold makes the child buffer current first). Changes in folds that
// hang from no buffer (holders of blocks, copies being made, files being
// read into a block) are not recorded.
//
// Lines that leave a buffer stay valid for as long as a record needs them:
// they are back in the buffer, on the undelete stack, or kept by the journal,
// which keeps every line about to be freed while a record names it
// (tree_watcher::deleting). An undo that needs lines the undelete stack still
// holds leaves the stack's entry an equal copy first (commands/undelete.h).
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
void journal_read(text_buffer *b);

// The buffer's text is now its file's (it was written): what the key did so
// far is an action of its own, and undoing or redoing back to this point
// clears the changed flag.
void journal_saved(text_buffer *b);
// No point of its journal is its file's any more (it was renamed).
void journal_unsaved(text_buffer *b);

// ---- Undo and redo -------------------------------------------------------------

// Where a buffer's cursor was: the number of its line in the file, its into
// value, remembered column and row, by which it is put back; and its fold.
struct journal_cursor {
    const tree_fold *fold;
    line_number line_no;
    int into, col, row;
};

// Takes back the buffer's last applied action, or makes again the first one
// undone: the tree becomes what it was when the action started (ended), the
// buffer's current fold its top fold at its first line, and its changed flag
// says whether the text differs from the file's. 0 when there is none. Stores
// where the cursor was when the action started (ended). Raises "out of
// memory", changing nothing, when the copies it leaves on the undelete stack
// cannot be made.
int journal_undo(text_buffer *b, journal_cursor *was);
int journal_redo(text_buffer *b, journal_cursor *was);

// ---- For tests and benchmarks --------------------------------------------------

// Actions of the buffer applied, and undone.
size_t journal_done(const text_buffer *b);
size_t journal_undone(const text_buffer *b);
