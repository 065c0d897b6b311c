// The buffer commands: making, deleting, selecting, renaming, reading and
// writing buffers (text/buffer.h). A buffer argument arrives already looked
// up: "." for the current buffer or the buffer's file name.
//
// Every write goes through write_back (commands/write_back.h): a write that
// fails leaves the file, its backup and the buffer's changed flag as they
// were. Every read shows "reading " and the name, then any warning that the
// file is read-only or that reading it lost bytes (a line split, a NUL byte),
// the loss last.
#pragma once

#include "text/buffer.h"

// buffer_create (file name, read, select): a new buffer for the file, in the
// language its name picks (else "top"); an empty name makes a buffer without
// a file, which is never offered for writing. With read the file is read into
// it: a read that fails raises its error with the name, and the buffer stays,
// holding what was read, not selected. With select it becomes the current
// buffer. Raises "bad filename " with the name, "can't deduce language", and
// "out of memory" when all 60 buffers are in use.
void cmd_bf_create();

// buffer_delete (buffer): when the buffer has changes, offers it for writing
// as other_exit does (commands/offer_write.h: "<name> not written, write: ",
// "<name> readonly, overwrite: ", or for an unnamed buffer "unnamed buffer
// not written, write: " and "filename: "); then deletes it with everything
// it holds. The current buffer cannot be deleted: "can't
// delete current buffer", after any write. A buffer entered from this one's
// virtual fold lines stays, without a parent.
void cmd_bf_delete();

// buffer_select (buffer): the buffer becomes the current one, with its own
// fold and cursor.
void cmd_bf_select();

// buffer_rename (buffer, file name): the buffer's file name becomes the host
// name of the text ("" stays ""), and the buffer counts as changed, so that
// leaving offers to write it under the new name. Raises "bad filename " with
// the name when it is none.
void cmd_bf_rename();

// buffer_read (buffer): reads the buffer's file again, discarding its changes
// without a question; the cursor goes to the first line. Raises the reading
// error with the name (a file that cannot be opened leaves the buffer as it
// was).
void cmd_bf_read();

// buffer_write (buffer, append): writes the buffer to its file, asking first
// about a read-only file; with append the file keeps its old text and the
// buffer follows it. Backups are taken as on leaving. Either way the buffer
// then counts as written.
void cmd_bf_write();
