// The text cursor: where the last refresh left the cursor in the text, so
// that the prompt line can put it back after a message or a question.
#pragma once

// Records the position (column, row) and cursor mode; refresh calls it.
void scn_remember_cursor(int x, int y, int csr_mode);

// Moves the tracked cursor to the recorded position and sets the recorded
// cursor mode. Before the first refresh that is column 0 of the first text
// row, mode 0.
void scn_restore_cursor();
