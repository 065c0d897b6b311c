// The block commands that work on the lines of the marked block in memory:
// setting and using the marks, folding and unfolding, shifting, translating,
// deleting and yanking (commands/block.h). Reading, writing and filtering a
// block are in commands/block_files.h.
//
// Every command that needs a block raises "no block", changing nothing, when
// a mark is unset or mark 1 is after mark 2; on an empty block (equal marks)
// it acts without effect.
#pragma once

// block_mark_1, block_mark_2: the mark goes on the current line.
void cmd_b_mark_1();
void cmd_b_mark_2();
// block_unmark: both marks are cleared.
void cmd_b_unmark();

// block_to_mark_1, block_to_mark_2: the cursor goes to the mark's line, at
// the into value nearest the remembered column; the cursor row stays. "not
// found" when the mark is unset.
void cmd_b_to_mark_1();
void cmd_b_to_mark_2();

// block_fold (tag, open, indent): the block's lines go into a new fold line
// with that name, open flag and indent, inserted at the cursor: in the
// block's place when the cursor was in the block or on the line after it.
// The fold line becomes current, the cursor at its end, and the marks are
// cleared.
void cmd_b_fold();

// block_unfold: the current fold line's contents take its place as the
// marked block, the first of them current. "expected fold line" on any other
// line (a virtual fold line cannot be unfolded).
void cmd_b_unfold();

// block_entab: the block moves right one tab step. With a tab size t above 0
// every non-empty text line gets t spaces in front and every fold or virtual
// fold line t more indent; with real tabs (tab size 0) a tab character and 8.
// "line too long", before anything changes, when a text line cannot take the
// prefix; an indent that would pass 500 stays as it is.
void cmd_b_entab();

// block_detab: the block moves left one tab step: the prefix comes off the
// text lines that begin with it, and the step off the indents that are at
// least that large.
void cmd_b_detab();

// block_trans (from, to): every line of the block (a text line's text, a
// fold's name, a virtual fold's file name) is translated as by line_trans.
// The translate strings are checked before the block.
void cmd_b_trans();

// block_delete: the block's lines go onto the undelete stack as one entry
// (other_undelete brings them back as the marked block); the marks are
// cleared.
void cmd_b_delete();

// block_yank: a copy of the block's lines goes onto the undelete stack; the
// buffer, the marks and the cursor stay. "out of memory" when the copy
// cannot be made, nothing pushed.
void cmd_b_yank();
