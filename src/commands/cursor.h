// The cursor of the current buffer: the small moves that many commands share.
//
// The cursor is the current line of the current buffer's current fold (its
// fold context) and the into value in that line (display/into.h). The buffer's
// line number must always name the current line, so every step of the current
// line here adds the line tree's returned count to it. The cursor row is kept
// between CURSOR_ROW_TOP and cursor_row_bottom(), so that one row of text shows
// above and below the cursor.
#pragma once

#include "display/rows.h"
#include "text/buffer.h"
#include "text/line.h"


// The current buffer's current fold context, and its current line.
tree_fold *cur_fold();
tree_line *cur_line();

// Puts the cursor at an into value; the remembered column follows it.
void set_into(int into);
// Into value 0, or just past the last character with the remembered column at
// the end of the line (-1), so that vertical moves keep to line ends.
void cursor_to_line_start();
void cursor_to_line_end();
// The into value nearest the remembered column, for the line just moved to;
// the remembered column itself does not change.
void into_from_col();

// Step the current line of the current fold, keeping the line number right.
void step_next();
void step_prev();
void step_first();
void step_last();
void step_to(int index);

// The cursor row follows the current line where it is shown now, within the
// row limits: at its row if that is CURSOR_ROW_TOP or lower down (keep_row_top)
// or cursor_row_bottom() or higher up (keep_row_bottom); otherwise at that
// limit, also when the line is not shown.
void keep_row_top();
void keep_row_bottom();
// The cursor row moves one row up or down, never past its limits.
void row_up();
void row_down();

// After changing a line: it is drawn again, and the buffer differs from its file.
void line_changed(tree_line *l);
// After a change that leaves no single line to redraw (lines added or removed).
void buffer_changed();
