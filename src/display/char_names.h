// How every byte is shown on the screen.
//
// A byte's display name is the string drawn for it and its width the cells
// that string takes. Bytes 33-126 are themselves. The rest depend on whether
// white space is visible:
//
//   byte            hidden            visible                 width
//   space           " "               "."                     1
//   tab at col c    spaces to the     the same, the last      to the next
//                   next multiple     one ">"                 multiple of 8
//                   of 8
//   0-31 but tab    "?"               "^" and byte + 64       1 / 2
//   127-255         "?"               "<" two hex digits ">"  1 / 4
//
// Tab stops on the screen are every 8 columns whatever a buffer's tab size.
// Bytes are taken as unsigned; a negative column counts like its place in a
// row of tab stops that runs on to the left.
//
// In UTF-8 mode (display/utf8.h) a valid UTF-8 sequence of a printable
// character is shown as itself, in the cells wcwidth gives it: two for a
// wide character, none for a combining mark. Every other byte, in either
// mode, keeps its form above. glyph_at gives the form of a whole character.
#pragma once

// Switches spaces, tabs and the other non-printing bytes between their hidden
// and visible forms (flag 0 or 1).
void set_white_space_vis(int flag);

// The form in use: 1 visible, 0 hidden.
int white_space_vis();

// The screen width of the byte drawn at the column.
int len_char_name(int byte, int col);

// The string that shows the byte drawn at the column; its length is the
// width. It lives in module data and the next call may overwrite it.
const char *char_name(int byte, int col);

// One character of a text as the screen shows it.
struct glyph {
    int bytes;        // of the text it stands for
    int width;        // cells it takes
    const char *name; // what is written for it, `length` bytes (not terminated)
    int length;
};

// The character at s (which is not at the end of its NUL-terminated text)
// drawn at the column. A byte's name lives in module data, as char_name's.
glyph glyph_at(const char *s, int col);

// glyph_at's bytes and width alone.
int glyph_width(const char *s, int col, int *bytes);
