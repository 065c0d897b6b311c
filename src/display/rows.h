// The rows of the screen, top down.
//
//   STATUS_ROW_BUFFER   the buffer's file name, language, line and column
//   STATUS_ROW_FOLD     the fold's name and the editing settings
//   PROMPT_ROW          messages and questions (display/prompt.h)
//   FIRST_TEXT_ROW on   the text (display/screen.h)
//
// The cursor row stays between CURSOR_ROW_TOP and cursor_row_bottom(), so
// that one row of text shows above and below the current line.
#pragma once

#include "display/terminal.h"
#include "text/line.h"

inline constexpr int STATUS_ROW_BUFFER = 0;
inline constexpr int STATUS_ROW_FOLD = 1;
inline constexpr int PROMPT_ROW = 2;
inline constexpr int FIRST_TEXT_ROW = 3;
inline constexpr int CURSOR_ROW_TOP = FIRST_TEXT_ROW + 1;
static_assert(FOLD_FIRST_ROW == CURSOR_ROW_TOP, "a new fold's cursor row is the top one");

// y_size - 2: the lowest row the cursor may stand on.
inline int cursor_row_bottom() {
    return y_size - 2;
}

// The rows the cursor may stand on, as many as a page of lines.
inline int cursor_rows() {
    return cursor_row_bottom() - CURSOR_ROW_TOP + 1;
}

// The middle row, where fold_out puts the cursor.
inline int middle_row() {
    return y_size / 2;
}

// The bottom row of the screen.
inline int last_row() {
    return y_size - 1;
}
