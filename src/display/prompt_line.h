// Row 2, the prompt line, as the prompt functions draw on it. Not for use
// outside the prompt module (display/prompt.h).
#pragma once

#include "display/rows.h"

// Cells a question leaves free on the line for its answer.
constexpr int ANSWER_ROOM = 10;

// Set while a message or question is on the line.
extern int prompt_in_use;

// The display name of a byte on the prompt line at a screen column: that of
// display/char_names.h, except that spaces and tabs are always blank.
const char *prompt_char_name(int byte, int col);

// Writes the text's display names at the tracked cursor, the first byte
// taken to be at screen column col, at most max_cells cells (of a name that
// does not fit, as much as fits). Returns the cells written.
int prompt_put(const char *text, int col, int max_cells);

// Shows text from column 0 in the status colour, at most max_cells cells,
// clears the rest of the line and marks it in use. The tracked cursor is left
// after the text, whose width is returned.
int prompt_show(const char *text, int max_cells);

// Clears the whole line in the status colour and marks it unused.
void prompt_clear();
