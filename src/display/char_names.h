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
