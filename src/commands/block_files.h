// Blocks and files: writing the marked block to a file, reading a file in as
// a block, and sending the block through a shell command.
//
// Blocks are written and read in the fold-marked format (text/fold_file.h),
// with the markers of the language the file's name picks, else the buffer's
// own, and indents counted from the block's list: fold lines go with their
// markers and everything they hold, and come back as they went.
#pragma once

#include "commands/block.h"
#include "text/fold_file.h"
#include "text/lang.h"

#include <cstdio>

// Writes the block's lines (of the current buffer's current fold) to the
// stream, each ending in CR LF when crlf is set, else in a newline, and
// flushes it: true when every byte was written. The current line does not
// move.
bool block_write_to(FILE *fp, marked_block b, const language_def *lang, int crlf);

// The same to the file, created or truncated (the filter's temporary file).
// Returns 0, or ERR_CANT_WRITE when the file cannot be opened or a write
// fails (what was written stays).
int block_write_file(const char *fn, marked_block b, const language_def *lang, int crlf);

// Reads the whole file into the holder's list, after any lines it has. The
// report (text/fold_file.h) tells how the read ended, in which case the holder
// keeps what was read before the failure, what it lost, and whether the
// file's lines ended in CR LF, which they come without.
read_report block_read_file(const char *fn, const language_def *lang, tree_line *holder);

// block_read (file name): the file's lines go in before the current line as
// the marked block, the first of them current. Shows "reading " and the name,
// then the warning when the read split long lines or dropped NUL bytes, or
// else says when the file's lines end in CR LF: they come without the CRs,
// and end as the buffer's lines do.
// Raises "bad filename " and the reading errors with the name; a read that
// fails inserts nothing and leaves the marks as they were.
void cmd_b_read();

// block_write (file name, append): writes the block to the file, its lines
// ending as the buffer's do, showing "writing " or "appending to " and the
// name; asks first when the file is read-only ("aborted" on no). The file is
// written or appended to as a buffer is (write_file_safely,
// commands/write_back.h), so that a write that fails leaves it as it was: a
// symbolic link is written through, and anything but a regular file is
// refused. No backup is taken and the buffer does not change. Raises "bad filename ", "no block",
// "aborted" and what write_file_safely raises.
void cmd_b_write();

// How block_filter runs its command: command, input file, output file; 1 when
// the command ran, whatever its exit status, 0 when it could not be started.
using filter_runner = int (*)(const char *command, const char *in, const char *out);

// block_filter (command) with the command run by run: the block is written
// to a temporary file that the command reads (lines ending in a newline
// alone, whatever the buffer's line ends), and the command's output and
// errors, read back from a second temporary file, replace the block as the
// marked block, at the cursor (in the block's place when the cursor was in
// it or on the line after it); the old block goes onto the undelete stack.
// Raises, with the block untouched, "can't run command from restricted
// editor", "no block", "out of memory", "can't write temporary file",
// "command failure" and the reading errors with "temporary file". Both
// temporary files are removed on every path out.
void block_filter_with(const char *command, filter_runner run);

// block_filter (command): as above, the command run with the terminal handed
// over to it (an empty command starts the user's shell); the screen is
// restored and drawn again afterwards.
void cmd_b_filter();
