// One file in two buffers.
//
// Two buffers can hold one file: a second copy read on purpose (fold_in
// answered no to "already have file in memory"), a buffer renamed, or one file
// under two names (a symbolic link, "./", a hard link). Each buffer writes the
// whole file, so the second to write would throw away what the first wrote,
// which would then live on only in the backup. So once a buffer has written
// its file, every other buffer of that file is marked (written_by_other), and
// a marked buffer asks before it writes over the file.
#pragma once

#include "text/buffer.h"

// 1 when the two host names name one file: the same device and inode, once
// symbolic links are followed, when both exist; otherwise the same name
// (cmp_os_fn). An empty name names no file.
int same_file(const char *a, const char *b);

// The first buffer, in slot order, whose file is the one the host name names
// (same_file); null when there is none.
text_buffer *buffer_of_file(const char *fn);

// Brackets a write of a buffer over its file (write_back). Made before the
// write: when another buffer has written the file since this one read or
// wrote it, asks "<name> was written from another buffer, write anyway: "
// with "no" offered first; no or Escape raises "aborted". Appending adds to what is there
// and does not ask. Ended without an error on its way (the write done), it
// marks every other buffer of the file and, unless appending, unmarks this
// one.
class same_file_write {
  public:
    same_file_write(text_buffer *b, bool append);
    ~same_file_write();
    same_file_write(const same_file_write &) = delete;
    same_file_write &operator=(const same_file_write &) = delete;

  private:
    text_buffer *b_;
    bool append_;
    int errors_passing_; // errors unwinding when it was made
};
