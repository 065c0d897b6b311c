// Drawing a string into a screen row, scrolled sideways.
//
// A string starts at a column of the unscrolled picture; the row shows the
// picture from column h (the horizontal offset) on, width cells at most. The
// row's image is: blanks up to the string's start when it lies right of h;
// the display names of its bytes (display/char_names.h), each computed at
// its own column of the picture; of a byte that straddles h only the part
// right of h; and of the first name that does not fit, as much as fits.
#pragma once

#include <string>

// Builds the image of the string into out and returns its width in cells
// (its length). Empty when start is at or beyond h + width.
int text_image(std::string &out, const char *text, int start, int width, int h);

// Writes the image at the tracked cursor with th_p_raw_str and returns its
// width. When start is at or beyond h + width nothing is written; the row is
// cleared from the cursor to the right margin instead and 0 returned.
int draw_text(const char *text, int start, int width, int h);
