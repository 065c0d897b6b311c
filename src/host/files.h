#pragma once

#include <cstdio>

// Files by host file name: opening, removing, renaming and permission bits.
// Failures are results; nothing here prints.

// The host's fopen with mode "r", "w" or "a"; null when the file cannot be opened.
FILE *fopen_file(const char *name, const char *mode);

// 1 when the file was removed, 0 otherwise (a directory is never removed).
int unlink_file(const char *name);

// 1 when the file was renamed, 0 otherwise.
int rename_file(const char *from, const char *to);

// The file's stat mode word, or -1 when it cannot be examined or is a directory.
int get_filemode(const char *name);

// Sets the permission bits of the file from a mode word; the outcome is not reported.
void set_filemode(const char *name, int mode);

// 1 when the file exists, is not a directory and its owner-write bit is clear; else 0.
int is_readonly(const char *name);
