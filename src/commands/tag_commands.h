// The tag commands: marking lines and visiting the marked ones, and marking
// the lines a compiler's error listing names.
//
// Any line can carry a tag (LINE_TAG), drawn as " T" at the right end of its
// row. Tags belong to the lines in memory: they are never written to files
// and do not change a buffer.
#pragma once

// tag_line: the current line's tag is set or cleared.
void cmd_t_line();

// tag_error: reads a file name and a line number from the current line at
// the cursor, as compilers write them ("main.c:12: ...", "\"main.c\", line
// 12: ...", "main.c(12) ...", "c:/src/main.c:12: ..."), and tags that line of
// the buffer editing that file, counting lines as the file holds them, fold
// markers included. The name ends at white space, "(", a double quote, or a
// ":" other than a drive letter's; the number is the first one after it.
// Every buffer stays on the line it was on. Raises, changing nothing:
// "expected text, fold or virtual fold line" on an end line, "bad filename "
// for an empty or unusable name, "not editing " with the host name when no
// buffer has that file, "no line number" when no digit follows the name and
// "bad line number" for 0 or a number past the buffer's last line.
void cmd_t_error();

// tag_goto (forwards): the cursor goes to the next (or previous) tagged line
// of the current buffer, in file order, through open and closed folds (the
// fold holding the line becomes the current fold) but never into the file of
// a virtual fold; a fold's end line is a line of its own. When there is none
// the cursor goes to the end (or the start) of the buffer and the command
// fails with "not found".
void cmd_t_goto();
