// Going to a line of a buffer by its number.
#pragma once

#include "text/buffer.h"

// Moves the buffer's cursor to the line numbered line_no, counting from 0 as
// the buffer's file holds its lines (a fold line is its start marker, its
// contents follow, its end line is the end marker; the top list's own end
// line comes last). Folds on the way are left and entered as needed, closed
// ones too, without opening them: the fold holding the line becomes the
// buffer's current fold, with its end line and those of the folds left marked
// changed. The buffer's line number follows. A number outside the buffer is
// held to 0 or to the top list's end line. Nothing happens when the cursor is
// already on the line.
//
// For the current buffer the cursor row follows the rules of
// commands/cursor.h: keep_row_bottom after going forwards, keep_row_top after
// going backwards. The into value is left to the caller.
void goto_line(text_buffer *b, line_number line_no);
