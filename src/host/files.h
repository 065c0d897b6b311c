#pragma once

#include <cstdio>

// Files by host file name: opening, removing, renaming, copying and
// permission bits. Failures are results; nothing here prints. What changes a
// file goes through the host's write calls (host/write_calls.h).

// The file opened as the host's fopen opens it with mode "r", "w" or "a";
// null when it cannot be opened. Only regular files are opened: anything else
// (a folder, a named pipe, a device) gives null at once, since the opening
// itself never waits.
FILE *fopen_file(const char *name, const char *mode);

// 1 when something (a file, a folder, anything) has that name, else 0.
int file_exists(const char *name);

// The name of the file a name leads to: the name itself unless it is a
// symbolic link, else where the link points, and so on through links to
// links (a relative link is taken from the link's own folder); a link that
// points nowhere gives the name it points to. Null for a loop of links. The
// result is in a static buffer that the next call overwrites.
const char *follow_links(const char *name);

// 1 when the file was removed, 0 otherwise (a directory is never removed).
int unlink_file(const char *name);

// 1 when the file was renamed, 0 otherwise.
int rename_file(const char *from, const char *to);

// Writes the whole of the file `from` to the descriptor, from where it
// stands: false when the file cannot be read or a write fails.
bool copy_into(const char *from, int fd);

// The file's stat mode word, or -1 when it cannot be examined or is a directory.
int get_filemode(const char *name);

// Sets the permission bits of the file from a mode word; the outcome is not reported.
void set_filemode(const char *name, int mode);

// 1 when the file exists, is not a directory and its owner-write bit is clear; else 0.
int is_readonly(const char *name);

// Starts putting what the host holds of the open file's written data on the
// disk, without waiting for it; nothing for a descriptor that is no file.
void file_start_writeback(int fd);
