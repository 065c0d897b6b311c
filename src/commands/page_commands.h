// The page commands: moving the cursor by a page and scrolling the view by a
// row, within the current fold's list (fold lines count as one line each).
//
// A page is as many lines as there are rows on which the cursor can stand
// (display/rows.h).
#pragma once

// page_up: a page back with the cursor row unchanged, so that the text moves
// under a still cursor, the cursor nearest the remembered column; within a
// page of the first line, to the first line, at its start, with keep_row_top.
void cmd_p_up();
// page_down: a page on likewise; within a page of the end line, to the end
// line, at its start, with keep_row_bottom (and the prompt line blanked).
void cmd_p_down();

// page_scroll_up: the text moves up a row. On the top cursor row the cursor
// goes down a line first (line_down); then it moves up a row if it can.
void cmd_p_scroll_up();
// page_scroll_down: the text moves down a row. On the bottom cursor row the
// cursor goes up a line first (line_up); then it moves down a row if it can.
void cmd_p_scroll_down();
