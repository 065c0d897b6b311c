// Text scanning and message building.
//
// Small routines over NUL-terminated byte strings shared by the command-line
// reader, the command scanner, the initialisation file, the file format and
// the message builders. Text is bytes: every byte is taken as unsigned, and
// classification is the C locale's whatever locale the process runs in, so
// bytes 0x80-0xFF are never white space and never digits.
//
// Lines are at most LINE_MAX_TEXT bytes and live in buffers of LINE_BUF_SIZE.
// Nothing here allocates except strsave, and nothing reports errors except
// through its result.
#pragma once

#include <cstdio>

enum {
    LINE_MAX_TEXT = 500,
    LINE_BUF_SIZE = LINE_MAX_TEXT + 1,
};

// A heap copy of text, or null when memory runs out. Free it with str_free,
// never with free(): the text model hands strings out of its own arena. A
// string may be shortened in place but never lengthened.
char *strsave(const char *text);

// Frees a string made by strsave (or held by a line or fold); null is ignored.
void str_free(char *text);

// Reads one line into buf (LINE_BUF_SIZE bytes) and returns 1, or returns 0 at
// the end of the stream or on a read error with nothing read. A line is the
// bytes up to the next newline, at most LINE_MAX_TEXT of them; the newline is
// dropped. A longer line comes back in pieces of LINE_MAX_TEXT bytes from
// successive calls; a newline that directly follows a full piece belongs to
// that piece, so a line of exactly LINE_MAX_TEXT bytes is one line and not
// one line plus an empty one. A last line without a newline is returned like
// any other. A NUL byte in the stream ends the line's text.
int get_line(char *buf, FILE *fp);

// Writes the text and one newline; 1 on success, 0 when a write failed.
int put_line(const char *text, FILE *fp);

// True for space, tab, newline, vertical tab, form feed and carriage return.
inline bool is_space_byte(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The first byte at or after p that is not white space (maybe the NUL).
const char *skip_space(const char *p);

// Reads the decimal digits at p into *result and returns the position after
// them; with no digit *result is 0 and p is returned. No sign is read and the
// value wraps modulo 2^32 without an overflow test; *result holds those 32
// bits (cast to unsigned to read a value above INT_MAX).
const char *scan_num(const char *p, int *result);

// Like scan_num, except that text starting with "&" is read as hexadecimal
// digits (either case) after it; "&" alone gives 0 and the position after it.
const char *scan_num_hex(const char *p, int *result);

// Copies the bytes up to the first white space or the end into out,
// NUL-terminated, and returns the position of the byte that stopped it.
const char *scan_str(const char *p, char *out);

// Reads a double-quoted string at p into out (NUL-terminated) and returns the
// position after its closing quote. Inside the quotes a backslash takes the
// next byte literally; there are no other escapes. Returns null when p does
// not start with a quote, when the closing quote is missing, or when a
// backslash is the last byte.
const char *scan_quoted_str(const char *p, char *out);

// Writes value as unsigned decimal digits ("0" for zero) and returns the
// position after them; no NUL is written.
char *print_num(char *out, unsigned value);

// Copies text without its NUL and returns the position after it. Messages are
// built by chaining print_str and print_num and storing a NUL at the end.
char *print_str(char *out, const char *text);

// The same scanners over writable text, returning writable positions.
inline char *skip_space(char *p) {
    return const_cast<char *>(skip_space(const_cast<const char *>(p)));
}
inline char *scan_num(char *p, int *result) {
    return const_cast<char *>(scan_num(const_cast<const char *>(p), result));
}
inline char *scan_num_hex(char *p, int *result) {
    return const_cast<char *>(scan_num_hex(const_cast<const char *>(p), result));
}
inline char *scan_str(char *p, char *out) {
    return const_cast<char *>(scan_str(const_cast<const char *>(p), out));
}
inline char *scan_quoted_str(char *p, char *out) {
    return const_cast<char *>(scan_quoted_str(const_cast<const char *>(p), out));
}
