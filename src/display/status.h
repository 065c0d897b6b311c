// The two status rows at the top of the screen, drawn in the status colour:
//
//   row 0: buffer name (from column 0, x_size - 22 wide), language name
//          (from x_size - 21, 10 wide), the current line number ending at
//          column x_size - 6 and the cursor column from x_size - 4, both
//          counted from 1;
//   row 1: the current fold's name (from 0, x_size - 23 wide), "autoindent"
//          at x_size - 22, " insert " or "overtype" at x_size - 11, and the
//          tab size from x_size - 2 ("^I" for real tabs).
//
// Each field is drawn only when it differs from what was drawn last; names
// are cut to their field's width in characters and in cells.
#pragma once

// Forgets what the rows show, so that the next status_draw draws every field.
void status_reset();

// Brings the fields up to date with the current buffer.
void status_draw();
