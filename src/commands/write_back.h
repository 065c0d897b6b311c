// Writing buffers back to their files: the questions asked first, the backup
// of the old file, and a replacement that never loses the file.
//
// A file is written by writing the whole new text to a fresh file in the same
// folder, flushing it to the disk, and only then putting it in the file's
// place with one rename, after which the folder is flushed too. Just before
// that rename the old file becomes the backup ("prog.c" is kept as
// "prog.bak", host/filename.h) when backups are on; with them off it is
// simply replaced. The new file gets the old one's mode, owner and group. So
// a write that fails for any reason (disk full, the file-size limit, a folder
// that has gone, a folder now in the file's place) leaves the file and its
// backup as they were, and the buffer keeps its text and its changed flag. A
// file that did not exist gets the mode an ordinary new file gets.
//
// Other files take other ways:
// - a symbolic link stays a link: the file it leads to is written, and its
//   backup is a copy beside that file;
// - a file with other names (hard links), in a folder that takes no new file,
//   or whose owner the new file could not keep (another user's file that the
//   user may write) is written in place, after a copy of it is kept as the
//   backup when backups are on ("could not take backup of " when the copy
//   cannot be made: with backups off such a file can still be written);
// - anything but a regular file (a named pipe, a device) is not written.
//
// A buffer that does not hold its file as it was read (read_loss) is written
// over it only when the user agrees, once. A text line that begins with the
// language's reserved comment start cannot be kept by the file format: it
// will read back as a marker line, and the user is warned after the write.
#pragma once

#include "text/buffer.h"

// 1 (the start): writing a file first keeps the old one as its backup.
// other_backups sets it.
extern int backups;

// Whether the buffer is to be written: no when it is unchanged, yes when
// forced, no when it has no file name, and otherwise the answer to the
// question "<name> not written, write: " (the name cut to fit); Escape raises
// "aborted".
int query_write(BUFF *b, int force);

// When the file is read-only, asks "<name> readonly, overwrite: " (the name
// cut to fit); no or Escape raises "aborted".
void query_readonly(const char *fn);

// When the file is read-only, shows "warning: file readonly " and the name;
// the message stays on the prompt line.
void warn_readonly(const char *fn);

// Keeps the file as its backup when backups are on: removes the old backup
// and renames the file to the backup name (none for a ".bak" file). Returns
// the file's mode as it was, or -1 when there is no such file (or it is a
// folder), in which case nothing is done. Raises "could not take backup of "
// with the name when the rename fails.
int take_backup(const char *fn);

// What write_back does besides writing the whole buffer over the file.
enum write_back_how {
    WB_ASK_READONLY = 1, // ask query_readonly first
    WB_APPEND = 2,       // the buffer goes after the file's contents
};

// Writes the buffer to its file as described above. Unless appending, a
// buffer whose read_loss is set first asks "<name> was not read whole, write
// anyway: " (the read stopped short), "<name>: NUL bytes will be dropped,
// write anyway: " or "<name>: long lines will be split, write anyway: " (no
// or Escape raises "aborted"), and a buffer whose file another buffer has
// written since asks before replacing that (commands/same_file.h). Then it
// shows "writing " and the name, writes, clears the buffer's changed flag
// (and its read_loss unless appending) and blanks the prompt line, or shows
// "warning: lines that look like fold markers written to " and the name.
// Raises "can't write " with the name when the file cannot be written (the
// file and its backup are left as they were, except that a write in place
// that fails half way leaves the file cut and its backup copy whole), "could
// not take backup of " when the backup cannot be made, and "aborted" from the
// questions.
void write_back(BUFF *b, int how);
