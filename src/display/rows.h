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

inline constexpr int STATUS_ROW_BUFFER = 0;
inline constexpr int STATUS_ROW_FOLD = 1;
inline constexpr int PROMPT_ROW = 2;
inline constexpr int FIRST_TEXT_ROW = 3;
inline constexpr int CURSOR_ROW_TOP = FIRST_TEXT_ROW + 1;

// y_size - 2: the lowest row the cursor may stand on.
inline int cursor_row_bottom() {
    return y_size - 2;
}
