// Reading a buffer from its file and writing it back, in the fold-marked
// format of text/fold_file.h with the buffer's language.
#pragma once

#include "text/buffer.h"

// Reads the file into the buffer: 1 on success; 0 on failure with rdfail set.
// rdloss is reset first and then tells whether the file will not come back as
// it was read (rdloss_warning gives the message). A file that cannot be opened
// or read at all (RD_CANNOT_OPEN), or memory running out before the read
// starts, leaves the buffer unchanged. Otherwise the old tree is deleted, a
// new empty closed top fold becomes the top and current fold, line number 0,
// and the file is read into it with base_indent 0; on a failure the lines
// read before it stay. The current line is the first; the changed flag is
// left to the caller.
int buff_read(BUFF *b, const char *fn);

// Writes the whole buffer, whichever fold the user is in, to the file opened
// with mode "a" when append is set, else "w": 1 on success, 0 when it cannot
// be opened or a write (or closing it) failed; what was written stays.
int buff_write(const BUFF *b, const char *fn, int append);
