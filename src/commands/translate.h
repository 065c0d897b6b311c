// Translate strings: the byte lists of line_trans and block_trans.
//
// A translate string lists bytes. A hyphen between two bytes stands for the
// bytes after the first up to the second, in increasing order (none when the
// second is not above the first), so a-e and a-c-e both give abcde and z-a
// gives z. A backslash takes the next byte as it is: \- is a hyphen and \\ a
// backslash; there are no escape letters.
#pragma once

#include "text/line.h"
#include "text/scan.h"

#include <cstddef>

// Expands a translate string into out (LINE_BUF_SIZE bytes, NUL-terminated)
// and returns its length, at most LINE_MAX_TEXT. Raises "bad - range in
// translate string" for a hyphen at the start or the end, "bad \ escape in
// translate string" for a backslash at the end, and "translate string expands
// too big" beyond LINE_MAX_TEXT bytes.
size_t trans_parse(const char *text, char *out);

// Replaces each byte of s that occurs in from by the byte of to at the
// position of its first occurrence in from. to is at least as long as from.
void trans_apply(char *s, const char *from, const char *to);

// A pair of translate strings, expanded.
struct translation {
    char from[LINE_BUF_SIZE];
    char to[LINE_BUF_SIZE];
};

// Expands both strings into t, raising the errors of trans_parse (the from
// string's first) or "translate strings not the same size": what a translate
// command does before it changes anything.
void trans_prepare(const char *from, const char *to, translation *t);

// Translates the string of a text, fold or virtual fold line (its text or
// name) through the line's one string setter; raises "out of memory" when the
// new string cannot be stored, the line unchanged. The caller marks the line
// changed. An end line is left alone.
void trans_line(tree_line *l, const translation *t);
