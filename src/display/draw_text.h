// Drawing a string into a screen row, scrolled sideways.
//
// A string starts at a column of the unscrolled picture; the row shows the
// picture from column h (the horizontal offset) on, width cells at most. The
// row's image is: blanks up to the string's start when it lies right of h;
// the display names of its bytes (display/char_names.h), each computed at
// its own column of the picture; of a byte that straddles h only the part
// right of h; and of the first name that does not fit, as much as fits. A
// wide character is never cut: a blank stands for what of it shows. A
// combining mark is written after the character before it, and left out
// when that character is not in the row.
#pragma once

#include <string>
#include <vector>

// Builds the image of the string into out and returns its width in cells
// (its length, but for characters of several bytes). Empty when start is at or beyond h + width.
// The first `plain` bytes, printable characters or spaces, are shown as themselves whatever the
// white-space mode (the "{{{ " before a fold's name). When sources is not null, sources[k]
// receives the index in text of the byte that out[k] shows, -1 for the blanks before the string.
int text_image(std::string &out, const char *text, int start, int width, int h, int plain = 0,
               std::vector<int> *sources = nullptr);

// Writes the image at the tracked cursor with th_p_raw_str and returns its
// width in cells.
int draw_text(const char *text, int start, int width, int h);
