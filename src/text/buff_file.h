// Reading a buffer from its file and writing it back, in the fold-marked
// format of text/fold_file.h with the buffer's language.
#pragma once

#include "text/buffer.h"
#include "text/fold_file.h"

#include <cstdio>

// Reads the file into the buffer; the report (text/fold_file.h) is true on
// success, and its loss tells whether the file will not come back as it was
// read (rdloss_warning gives the message). Only a regular file is read
// (host/files.h). A file that cannot be opened or read at all
// (RD_CANNOT_OPEN), or memory running out before the read starts, leaves the
// buffer's lines unchanged. Otherwise the old tree is deleted, a new empty
// closed top fold becomes the top and current fold, line number 0, and the
// file is read into it; after a fault in the fold structure every line from
// the fault on is there as text, after any other failure the lines read
// before it stay. The current line is the first; the changed flag is left to
// the caller.
//
// The buffer's read_loss becomes the read's loss, with RD_LOSS_PART when the
// buffer does not hold the whole file: the read stopped before the end, or a
// file that exists could not be read at all. When the lines were replaced,
// its crlf tells whether the file ends them in CR LF (read without the CRs),
// and written_by_other is cleared.
read_report buff_read(text_buffer *b, const char *fn);

// Writes the whole buffer, whichever fold the user is in, to the file opened
// with mode "a" when append is set, else "w", its lines ending in CR LF when
// the buffer's crlf is set. The report is false when the file cannot be
// opened or a write (or closing it) failed; what was written stays.
write_report buff_write(const text_buffer *b, const char *fn, int append);

// Writes the whole buffer to a stream open for writing, as buff_write does,
// and flushes the stream (it stays open).
write_report buff_write_to(const text_buffer *b, FILE *fp);
