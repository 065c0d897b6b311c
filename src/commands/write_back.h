// Writing buffers back to their files: the questions asked first, the backup
// of the old file, and a replacement that never loses the file. Blocks are
// written to files the same way (commands/block_files.h).
//
// A file is written by writing the whole new text to a fresh file in the same
// folder, flushing it to the disk, and only then putting it in the file's
// place with one rename, after which the folder is flushed too. Just before
// that rename the old file becomes the backup ("prog.c" is kept as
// "prog.bak", host/filename.h) when backups are on, by giving it the backup's
// name as a second name (a hard link; a copy where the file system has none),
// so that the file's own name holds the whole old file until the rename puts
// the whole new one there: a process killed at any moment leaves one or the
// other, and at most a temporary file named after it (".prog.c.oxXXXXXX").
// The new file gets the old one's mode, owner and group. A file that did not
// exist gets the mode an ordinary new file gets. So a write that fails for
// any reason (disk full, the file-size limit, a folder that has gone, a
// folder now in the file's place) leaves the file as it was (its backup may
// already hold that same old text) and nothing beside it, and the buffer
// keeps its text and its changed flag.
//
// Other files take other ways:
// - a symbolic link stays a link: the file it leads to is written, and its
//   backup goes beside that file;
// - a file with other names (hard links), in a folder that takes no new
//   file, or whose owner the new file could not keep (another user's file
//   that the user may write) is written in place (host/rewrite_file.h): the
//   room for the new text is made sure of first (the file-size limit, the
//   disk where it can reserve room), the old text is kept first as the
//   backup when backups are on ("could not take backup of " when that copy
//   cannot be made) or else in a temporary copy beside the file or in the
//   temporary folder (the same message when none can be made), the file is
//   cut to its new length only at the end, and a write that fails all the
//   same puts the old text back and says "can't write "; should even that
//   fail, "can't write, old text kept in " names the copy. Only a process
//   killed half way through such a write can leave the file half written,
//   with its old text whole in the copy;
// - anything but a regular file (a named pipe, a device), whatever its name
//   is spelt like, is not written: "can't write ".
//
// Appending adds to the old text in the same ways: beside, a new file made of
// the old text and the new is put in place; in place, a failure cuts the file
// back to its old length.
//
// A buffer that does not hold its file as it was read (read_loss) is written
// over it only when the user agrees, once: those questions offer "no" first,
// so that Return refuses. A text line that begins with the language's
// reserved comment start cannot be kept by the file format: it will read back
// as a marker line, and the user is warned after the write.
#pragma once

#include <cstdio>
#include <functional>

#include "text/buffer.h"

// 1 (the start): writing a file first keeps the old one as its backup.
// other_backups sets it.
extern int backups;

// Whether the buffer is to be written: no when it is unchanged, yes when
// forced, no when it has no file name, and otherwise the answer to the
// question "<name> not written, write: " (the name cut to fit); Escape raises
// "aborted".
int query_write(text_buffer *b, int force);

// When the file is read-only, asks "<name> readonly, overwrite: " (the name
// cut to fit); no or Escape raises "aborted".
void query_readonly(const char *fn);

// When the file is read-only, shows "warning: file readonly " and the name;
// the message stays on the prompt line.
void warn_readonly(const char *fn);

// What write_back and write_file_safely do besides writing the whole text
// over the file.
enum write_back_how {
    WB_ASK_READONLY = 1, // ask query_readonly first (write_back)
    WB_APPEND = 2,       // the text goes after the file's contents
    WB_NO_BACKUP = 4,    // no backup, whether backups are on or not
};

// Writes a whole text to a stream: true when every byte was written. It is
// called twice for a file written in place, the first time to measure it.
using text_writer = std::function<bool(FILE *)>;

// Writes the text to the file fn (a host name) as described above, with a
// backup when backups are on unless WB_NO_BACKUP. Raises "can't write " with
// the name when the file cannot be written, "could not take backup of " when
// the backup (or the copy a write in place needs) cannot be made, and "can't
// write, old text kept in " with the copy's name when a write in place failed
// and the old text could not be put back.
void write_file_safely(const char *fn, int how, const text_writer &text);

// Writes the buffer to its file with write_file_safely. Unless appending, a
// buffer whose read_loss is set first asks "<name> was not read whole, write
// anyway: " (the read stopped short), "<name>: NUL bytes will be dropped,
// write anyway: " or "<name>: long lines will be split, write anyway: " (no,
// Return or Escape raises "aborted"), and a buffer whose file another buffer
// has written since asks before replacing that (commands/same_file.h). Then
// it shows "writing " and the name, writes, clears the buffer's changed flag
// (and its read_loss unless appending) and blanks the prompt line, or shows
// "warning: lines that look like fold markers written to " and the name.
// Raises what write_file_safely raises, and "aborted" from the questions.
void write_back(text_buffer *b, int how);
