// Buffers made for files and files read into buffers, as the commands that
// open files do it (buffer_create, entering a virtual fold).
#pragma once

#include "text/buffer.h"

// A new buffer for the file (a host name, "" for none), in the language the
// file's name picks, else "top", with the given parent id; not read, not
// current. Raises "can't deduce language" when there is no language "top"
// either, "out of memory" when no buffer can be made.
text_buffer *buffer_for_file(const char *fn, int parent);

// Reads the buffer's file into it with the messages of reading: "reading "
// and the name, then the warning that the file is read-only, then the warning
// that the read lost bytes (last, since it says the file would not be written
// back as it was); the buffer then counts as unchanged. Raises the reading
// error with the name when the read fails, the lines read so far kept.
void read_buffer_file(text_buffer *b);
