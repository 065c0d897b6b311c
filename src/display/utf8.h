// Characters of text: bytes, or UTF-8 sequences where the locale says so.
//
// Text is always held and written as the bytes it came as. What changes with
// the locale is what counts as one character: in UTF-8 mode a valid UTF-8
// sequence of two to four bytes (no overlong forms, no surrogates, nothing
// beyond U+10FFFF) is one character, and every other byte is a character of
// its own; otherwise every byte is one. Into values, string positions and
// the 500-byte line limit stay counted in bytes; these functions find the
// starts and ends of characters among them, so that the cursor and every
// edit step over whole characters.
//
// The mode is read from the locale when the terminal starts (th_init): UTF-8
// when setlocale(LC_CTYPE, "") gives a locale whose character set is UTF-8,
// which then stays the process's LC_CTYPE; any other locale is set back to
// "C", so classification stays the C locale's. Without a terminal (unit
// tests) it is off until set_utf8_text turns it on.
#pragma once

// True in UTF-8 mode.
bool utf8_text();

// Turns UTF-8 mode on or off. Widths of characters come from wcwidth, which
// needs a UTF-8 LC_CTYPE: tests that turn the mode on set one first.
void set_utf8_text(bool on);

// Reads the locale's character set as described above and sets the mode.
void utf8_text_from_locale();

// The length (2 to 4) of the valid UTF-8 sequence that starts at s and lies
// within avail bytes, or 0 when none does (an ASCII byte included). Works in
// either mode.
int utf8_sequence(const char *s, int avail);

// The code point of the valid sequence of n bytes at s.
unsigned utf8_decode(const char *s, int n);

// Writes the UTF-8 form of a code point (at most U+10FFFF, not a surrogate)
// to out and returns its length, 1 to 4; 0 for a value that has none.
int utf8_encode(unsigned code, char *out);

// In the NUL-terminated text s: the bytes of the character at s, 0 at the
// end of the text.
int char_len(const char *s);

// The byte position of the start of the character that ends at position p
// of s (p above 0): p - 1, or in UTF-8 mode the start of a valid sequence
// that ends exactly at p. Reads only the bytes before p.
int char_before(const char *s, int p);

// The cells a valid printable sequence takes on the screen: wcwidth of its
// code point (0 for a combining mark, 2 for a wide character), or -1 when
// it is not printable (a C1 control, a code point wcwidth does not know).
int utf8_cells(const char *s, int n);

// The cells a string of printable ASCII and valid printable UTF-8 sequences
// takes on the screen: its length, except that in UTF-8 mode every sequence
// counts its cells. For the tracked cursor of the terminal layer.
int text_cells(const char *s);
