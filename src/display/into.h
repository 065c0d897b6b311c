// Into values: where the cursor is in a line, and the screen columns of it.
//
// An into value is the line's base column plus the index of the character
// under the cursor. The base column of a text line (and an end line) is 0; of
// a fold or virtual fold line it is the fold's indent plus 4, the width of
// the "{{{ " before its name. On a fold line an into value below the base
// column is a place in the fold's indentation, where nothing can be typed.
//
// Screen columns here are before horizontal scrolling and count from the
// start of the list the line is in; characters take the widths of
// display/char_names.h. Into values are byte counts: in UTF-8 mode a
// character of several bytes spans several into values, of which only the
// first is a place for the cursor (display/utf8.h).
#pragma once

#include "text/line.h"

// The screen column of an into value: into itself when it is below base;
// otherwise base plus the widths of the characters in the first (into - base)
// bytes of text, stopping at the end of text; an into value inside a
// character gives the column where the character starts.
int col_nth_char(const char *text, int base, int into);

// The into value nearest to a screen column: the column itself when it is
// below base; otherwise base plus the bytes of the leading characters of text
// that end at or before the column. A negative column stands for the end of the
// line (the remembered column -1), giving base plus the length of text.
int into_near_col(const char *text, int base, int col);

// A line's base column (indent_of) and its string (string_of) are the line
// tree's own (text/line.h).

// For the current line of the current buffer's current fold:

// The cursor's screen column, before horizontal scrolling.
int cur_csr_col();

// The into value that keeps the cursor nearest the column when moving to
// another line; -1, the end of line, gives max_into_value().
int new_into_value(int col);

// The into value just past the last character: base column plus length.
int max_into_value();
