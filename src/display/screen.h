// The screen: the current buffer drawn on the terminal.
//
//   the status rows and the prompt row (display/rows.h, status.h, prompt.h)
//   FIRST_TEXT_ROW to last_row(): the text, the list of the fold the user is
//                      in, open folds expanded in place (display/layout.h)
//
// The current line is always drawn on its fold context's cursor row (row),
// so the view scrolls when commands keep that row while the current line
// changes. Commands keep the row between CURSOR_ROW_TOP and
// cursor_row_bottom(), so that one row of text shows above and below the
// cursor.
//
// The screen keeps a record of what every text row shows. refresh lays the
// rows out afresh and sends only what differs: a row is drawn again when its
// line, indent, marking or tag changed, or when its line's changed flag
// (LINE_CHANGED, which every edit must set) is set; rows that moved up or
// down by up to three are moved with row deletes and inserts rather than
// drawn again. Drawing a line clears its changed flag.
//
// A text line shows its text; a fold line "{{{ " (open) or "... " (closed)
// and its name; a virtual fold line ">>> " (open) or "::: " (closed) and its
// file name; the end line of an open fold "}}}"; the end line of the list the
// user is in "^"; an empty row "~". Marked rows are in the marked colours
// across the whole width; a tagged line ends in " T". The text scrolls
// sideways in steps of 20 columns to keep the cursor's column left of
// x_size - 2.
//
// The display forms of bytes are in display/char_names.h and the into values
// and their columns in display/into.h, both included here.
#pragma once

#include "display/char_names.h"
#include "display/into.h"
#include "text/line.h"

// Brings the screen up to date with the current buffer and puts the cursor on
// the cursor's column and row. Does nothing while there is no current buffer.
void refresh();

// Forgets everything shown, clears the screen and draws it all again, the
// terminal's every cell included, whatever curses believed it showed.
void refresh_all();

// Forgets what the text rows show, so that the next refresh draws each again:
// after changes too many to mark line by line (an undo).
void scn_forget_rows();

// Called after every th_init: clears the screen, paints the status rows and
// the prompt line in the status colour, forgets the text rows, and registers
// scn_delete_notify with the line tree and screen_resized with the terminal
// (display/screen_restart.h).
void scn_init();

// Nothing to release.
void scn_deinit();

// The text row (3 or more) on which the line is shown now, or -1.
int locate_line(const tree_line *l);

// The line tree calls it before a line record is freed: a row showing it is
// drawn again at the next refresh.
void scn_delete_notify(tree_line *l);

// Text rows drawn since the screen started; tests read it with th_stats.
extern long scn_rows_drawn;
