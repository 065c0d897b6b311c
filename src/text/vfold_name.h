// The quoted form of a virtual fold line's file name.
//
// A virtual fold line shows, and its marker carries, the file name with every
// space, tab and apostrophe preceded by an apostrophe; anything after the
// first unquoted space or tab is a comment the user may add to the line.
#pragma once

// Writes the quoted form of name into out (LINE_BUF_SIZE bytes): 1; or 0,
// out unspecified, when it would exceed LINE_MAX_TEXT bytes.
int enquote_vfold_fn(const char *name, char *out);

// Writes into out (LINE_BUF_SIZE bytes) the file name a quoted text stands
// for: leading white space skipped, then the bytes up to the end or the first
// space or tab that is not quoted; an apostrophe followed by any byte stands
// for that byte, and one at the very end for itself. Empty for a blank text;
// at most LINE_MAX_TEXT bytes are kept.
void dequote_vfold_fn(const char *quoted, char *out);
