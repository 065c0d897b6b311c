// Virtual folds: the files that virtual fold lines name, read into child
// buffers when they are entered and written back when they are left.
//
// A child buffer records the id of the buffer holding the virtual fold line
// as its parent; the parent's current line stays on that line while the child
// is in use, and leaving the child's top list goes back to it.
#pragma once

#include "text/buffer.h"

// The usable file name of a virtual fold line's quoted name: its first word,
// dequoted, with "$(NAME)" references to environment variables expanded. out
// holds LINE_BUF_SIZE bytes.
void vfold_name(const char *quoted, char *out);

// The host name of the file the current buffer's virtual fold line v names,
// resolved against the current buffer's own file name, into out (LINE_BUF_SIZE
// bytes); raises "bad filename " with the name when there is none or it is
// empty.
void vfold_file(const tree_line *v, char *out);

// Reads the file of the virtual fold line v (of the current buffer) into a new
// child buffer, which becomes the current buffer, in the language its name
// picks (else "top"). Shows "reading " and the name, then any warning that the
// file is read-only or lost bytes in reading. Raises "bad filename ", "can't
// deduce language", "out of memory" (no buffer left), or the reading error
// with the name, in which case the child stays current with what was read,
// and fold_out leads back.
void vfold_open(const tree_line *v);

// Enters the virtual fold line v of the current buffer, as fold_in does:
// when another buffer already holds its file (same_file), asks "already have
// file in memory, use existing copy: " (Escape raises "aborted"). Yes takes
// that buffer and returns 1: unless it is the current one, the current
// buffer becomes its parent and it becomes current, with its own fold and
// cursor. No, or no such buffer: vfold_open, and 0. Raises what vfold_open
// raises.
int vfold_enter(const tree_line *v);

// Leaves the current buffer, a child, for its parent: a changed child is
// written back first, when the user wants it (query_write; always with force),
// through write_back, asking first about a read-only file. The parent becomes
// current, on the virtual fold line, and the child is deleted with whatever
// was not written. Raises "fold has no parent" when the parent is gone, and
// the errors of write_back, with the child still current and unchanged.
void vfold_close(int force);
