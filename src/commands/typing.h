// Typing: the steps that put characters into the current line, shared by the
// character, string and tab commands, by undelete and put, and by the main
// loop for every printable key.
//
// All of them edit the current line of the current buffer's current fold at
// the cursor's into value (display/into.h). Let p be the into value minus the
// line's base column: when it is negative the cursor is in a fold line's
// indentation, where only spaces can be typed (they move the fold line right);
// otherwise p is a position in the line's string (a text line's text, a fold's
// or virtual fold's name), taken as the string's end when the cursor lies past
// it.
//
// In UTF-8 mode (display/utf8.h) a character may be several bytes: the steps
// put and replace whole characters, and the cursor moves past all of them.
//
// Every change sets the line's changed flag and the buffer's. A step that
// fails raises its error having changed nothing: "line too long" when the
// string would exceed LINE_MAX_TEXT bytes, "can't type on fold indentation",
// "out of memory". Call them only beneath a recovery point, except type_char,
// which sets its own.
#pragma once

#include "text/line.h"

// ---- The current line ----------------------------------------------------------

// The current line; raises "expected text, fold or virtual fold line" on an
// end line.
tree_line *editable_line();

// The current line, first turning an end line into a line: a new empty text
// line is put before it and becomes current, the cursor at into value 0.
tree_line *line_for_typing();

// The cursor's position p in the current line's string: between 0 and the
// string's length; -1 when the cursor is in the indentation.
int string_pos(const tree_line *l);

// Replaces `remove` bytes of the line's string at p by n bytes (n may be 0,
// bytes then unused). Raises "line too long" when the result would exceed
// LINE_MAX_TEXT bytes, "out of memory" when it cannot be stored; the line is
// unchanged then. p + remove must lie within the string.
void splice_string(tree_line *l, int p, int remove, const char *bytes, int n);

// ---- The typing steps ------------------------------------------------------------

// Inserts the character of n bytes before the cursor, which moves past it;
// in the indentation a space moves the fold line right by one column instead.
void insert_chars(const char *bytes, int n);
void insert_char(unsigned char c);

// Replaces the character under the cursor by the character of n bytes, or
// appends it at the end of the string; the cursor moves past it. In the
// indentation a space only moves the cursor right.
void overtype_chars(const char *bytes, int n);
void overtype_char(unsigned char c);

// Insert or overtype by the buffer's insert-mode flag.
void type_chars_by_mode(const char *bytes, int n);
void type_by_mode(unsigned char c);

// Each character of a string in turn, by insert (1), overtype (0) or the
// buffer's mode (-1); an error stops it, leaving the characters placed.
void type_string(const char *text, int how);

// What a printable key does: sets a recovery point and types the key (codes 1
// to 255, and a UTF-8 character, K_CHAR; other codes do nothing) by the
// insert-mode flag. 1 when it was typed or there was nothing to do, 0 when it
// failed (the message is on the prompt line).
int type_char(int key);
