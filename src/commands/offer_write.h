// Offering a changed buffer for writing before its text is left for good:
// at exit and when the buffer is deleted. Nothing is thrown away without the
// user's word.
#pragma once

#include "text/buffer.h"

// Nothing for an unchanged buffer. One with a file name is offered as
// query_write and write_back do (commands/write_back.h), a read-only file
// asked about too. An unnamed one is asked "unnamed buffer not written,
// write: ": no lets its text go; yes asks "filename: " and writes it there
// as write_back does, the buffer then named so. Escape raises "aborted", a
// name that is no file name "bad filename " with the name; a write that
// fails raises its error and leaves the buffer unnamed, as it was.
void offer_write(text_buffer *b);
