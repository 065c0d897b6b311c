// Blocks: runs of consecutive lines of one list, between the two marks of its
// fold context; and the copying of lines, which can take long.
//
// Mark 1 is on the first line of the block and mark 2 on the line after its
// last (which may be the list's end line). A fold line in a block is one line
// that carries everything it holds. The list operations keep the marks on
// their lines (text/line.h).
//
// Blocks taken out of a buffer, or copied, live in a holder: a fold line made
// for the purpose (no name, indent 0, closed) that never stands in a buffer,
// whose list is the block. The undelete stack keeps blocks this way.
#pragma once

#include "text/line.h"
#include "text/owned.h"

// The lines of a list from index `first` up to, not including, `end`.
struct marked_block {
    int first; // mark 1
    int end;   // mark 2
};

// The block of the fold context: raises "no block" unless both marks are set
// and mark 1 is not after mark 2. Equal marks give an empty block, on which
// every block command acts without effect.
marked_block block_of(const tree_fold *f);

// A new, empty holder; raises "out of memory".
owned_line make_holder();

// The line at a valid index of the fold's list, walked to from the current
// line; the current line does not move.
tree_line *list_line(const tree_fold *f, int index);

// Moves the holder's lines in before the current line of the current
// buffer's current fold, by relinking them, as the marked block: the first of
// them becomes the current line at the same index and line number, mark 1
// stands on it and mark 2 on the line after the last. The holder is left
// empty. Returns the number of lines moved.
int block_unpack_marked(tree_line *holder);

// Copying a fold line that holds more lines than this shows "copying large
// number of lines, please wait ..." until the copy is made.
inline constexpr int LARGE_COPY_LINES = 500;

// A deep copy of a line (a fold with everything in it), with the message
// above when it is large; null when memory runs out.
tree_line *copy_with_notice(const tree_line *l);

// The same, raising "out of memory" when the copy cannot be made.
owned_line copy_deep(const tree_line *l);

// A deep copy, with the notice, that also keeps the block marks of every fold
// in it: the line's equal, for the undelete stack and the undo journal, which
// hand one out where both cannot have the line itself. Null when memory runs
// out.
tree_line *equal_copy(const tree_line *l);

// Moves the block's lines out of the current buffer's current fold into the
// holder's list, after the lines already there, by relinking them (one pass
// over the block, whatever its size). The cursor stays on its line when it
// was before the block or after it, and goes to the line after the block, at
// into value 0, when it was in it; the buffer's line number follows. Both
// marks then stand on the block's old first index.
void block_move_into(marked_block b, tree_line *holder);

// Appends deep copies of the block's lines (of the current buffer's current
// fold) to the holder's list; the buffer does not change. 0 when a copy could
// not be made: the copies made before it stay in the holder.
int block_copy_into(marked_block b, tree_line *holder);
