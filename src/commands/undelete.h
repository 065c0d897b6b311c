// The undelete stack: everything deleted or yanked, shared by all buffers.
//
// Deleting a line or a block pushes the lines themselves (deleting costs only
// relinking); yanking pushes a copy; deleting characters pushes the bytes or
// the text removed. other_undelete brings the top entry back at the cursor and
// takes it off; other_put inserts a copy and leaves it, so put is the editor's
// paste; other_squeeze empties the stack.
//
// The stack owns every item it holds until the item is inserted into a buffer
// (it then belongs to the buffer) or released. It holds UNDEL_MAX entries:
// pushing onto a full stack silently releases the oldest.
//
// A deleted line or block is also named by the undo journal of the buffer it
// came from (commands/journal.h), which may need those very lines back. The
// two share them without asking each other: the stack frees what it releases
// with line_delete_deep, which leaves a line that journal still names to it;
// a line or block goes back whole only into the buffer it came from, and as
// an equal copy into any other; and an undo that needs lines still on the
// stack leaves the entry an equal copy (undel_swap_line).
#pragma once

#include "text/line.h"

inline constexpr int UNDEL_MAX = 100;

// Entry kinds, with the item each holds.
enum undel_kind {
    UNDEL_LINE = 0,       // a line in no list, with everything it holds
    UNDEL_BLOCK = 1,      // a holder fold line whose list is the block, in order
    UNDEL_CHAR_LEFT = 2,  // the character deleted left of the cursor
    UNDEL_CHAR_RIGHT = 3, // the character deleted at the cursor
    UNDEL_STRING = 4,     // an owned copy of the text deleted to the end of a line
};

struct undelete_entry {
    int kind; // undel_kind
    int home; // id of the current buffer when it was pushed
    union {
        tree_line *line; // UNDEL_LINE, UNDEL_BLOCK
        // UNDEL_CHAR_LEFT, UNDEL_CHAR_RIGHT: the character's bytes, the first
        // in the lowest eight bits (a UTF-8 character has up to four, none
        // of them 0); a byte is 0 to 255.
        unsigned chr;
        char *str; // UNDEL_STRING: made by strsave
    } item;
};

// ---- Pushing -----------------------------------------------------------------

// The stack takes ownership of the line or holder (a fold line made for the
// purpose: empty name, indent 0, closed, never standing in a buffer). Neither
// fails.
void undel_push_line(tree_line *l);
void undel_push_block(tree_line *holder);
void undel_push_char_left(unsigned char c);
void undel_push_char_right(unsigned char c);
// A character of n bytes, 1 to 4.
void undel_push_char_left(const char *bytes, int n);
void undel_push_char_right(const char *bytes, int n);
// Pushes a copy of the text; raises "out of memory", pushing nothing, when
// the copy cannot be made. Call it only beneath a recovery point.
void undel_push_string(const char *text);
// Pushes a string made by strsave, taking ownership of it; never fails.
void undel_push_string_owned(char *text);

// ---- Unpacking ---------------------------------------------------------------

// Moves the lines of a holder fold line (or of any fold line that stands in
// no list) into the fold context f, last first, each inserted before f's
// current line: they end up before the old current line in their order, the
// first of them current. The holder is left empty. Returns the number moved.
int undel_unpack(tree_line *holder, tree_fold *f);

// ---- Commands ------------------------------------------------------------------

// other_undelete: takes the top entry off the stack and brings it back at the
// cursor: a line is inserted before the current line and becomes current; a
// block's lines likewise, the first of them current and all of them the
// marked block; a character is inserted as typing does in insert mode, the
// cursor after it (deleted left) or on it (deleted right); a string is
// inserted with the cursor staying before it. The cursor goes to into value 0
// on an inserted line. A line or block pushed in another buffer comes back as
// an equal copy ("out of memory" when it cannot be made, the entry staying).
// "undeleted stack empty" when there is nothing.
// When a character or string cannot go back ("line too long", "can't type on fold indentation") the
// entry stays on the stack. An empty string (nothing was deleted at a line's
// end) goes without changing the buffer or marking it changed.
void cmd_undelete();
// other_put: the same with a copy, the entry staying on the stack.
void cmd_put();
// other_squeeze: releases every entry and says so.
void cmd_sqeeze();

// ---- Reading and releasing -----------------------------------------------------

// Entries on the stack, 0 to UNDEL_MAX.
int undel_count();
// Entry i counted from the bottom (0 the oldest); i below undel_count().
const undelete_entry &undel_entry(int i);
// The kind of the top entry, or -1 when the stack is empty.
int undel_top_kind();

// Releases every entry deeply, oldest first, and empties the stack: for
// other_squeeze, shutdown and tests.
void undel_release_all();

// For the undo journal, which needs back the very line or holder that entry i
// holds: puts l, an equal copy of it, in its place and returns it. The entry
// stays where it is.
tree_line *undel_swap_line(int i, tree_line *l);
