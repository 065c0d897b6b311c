// Laying out the text rows: which line every row should show.
//
// The rows show the list of the current fold context F with every open fold
// expanded in place between its fold line and its end line. The current line
// sits on F's cursor row; the walk goes down from it and up from the line
// before it, entering open folds on the way. Fold contents are shifted right
// by the indents of the folds that hold them. Below F's end line, and above
// the first line of its list, rows are empty.
#pragma once

#include "text/line.h"

// What a text row shows.
struct layout_row {
    tree_line *line; // null for an empty row
    int indent;      // screen column where the line's display starts, before scrolling
    int marked;      // 1 when the row lies in the marked block
    int tagged;      // copy of the line's tag mark
    int span;        // for syntax colour, the span state the line starts in; 0 for none
};

// Fills rows[FIRST_TEXT_ROW] to rows[n_rows - 1] (the rows above are left
// alone) with the layout of f's list with its current line on cursor_row
// (FIRST_TEXT_ROW to n_rows - 1; any other row leaves them all empty).
//
// A text line is at the indent sum of the open folds around it; a fold or
// virtual fold line at that sum plus its own indent. An open fold's contents
// and its end line are at the sum including its indent. F's own end line
// ends the walk down at indent 0, unmarked. When both of f's marks are set, a
// row is marked when its line's index in f's list (for a line inside an open
// fold: the index of the outermost fold line holding it) is at least mark 1
// and below mark 2.
void layout_rows(layout_row *rows, int n_rows, const tree_fold *f, int cursor_row);
