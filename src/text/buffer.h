// Buffers: files in memory.
//
// A buffer owns a top fold whose list is the whole file, knows the fold the
// user is in, its host file name, its language and its editing settings.
// Buffers live in the table `buffs`, a null slot being free; `cur_buffer` is
// the one shown and edited, never null once the editor has started. Ids come
// from a counter that starts at 0 and are never reused; a buffer entered from
// a virtual fold line names its parent by id, so deleting a parent leaves its
// children valid with parent -1. Failures are results; nothing here prints.
//
// Reading and writing a buffer's file are in text/fold_file.h.
#pragma once

#include "text/lang.h"
#include "text/line.h"

inline constexpr int MAX_BUFFS = 60;

// A line's number in its buffer's whole file, from 0, as the file holds its
// lines (a fold's markers count). It has a type of its own at the interfaces
// that take it beside other whole numbers (goto_line, tag_line_of, the undo
// journal's cursor), so that a list index or an into value given in its place
// does not compile.
struct line_number {
    int n;
};

struct text_buffer {
    tree_fold *top;         // the fold whose list is the whole file
    tree_fold *fold;        // the fold the user is in: top or one nested in it
    int id;                 // unique, never reused
    int parent;             // id of the buffer it was entered from, -1 for none
    int changed;            // 1 when the text differs from the file
    char fn[LINE_BUF_SIZE]; // host file name; "" for the first buffer
    language_def *lang;     // never null
    int line_no;            // number of the current line of `fold` in the whole file
    unsigned flags;         // editing settings (text/flags.h)
    // What reading the file lost (RD_LOSS_ bits of text/fold_file.h), set by
    // buff_read; cleared once the buffer has been written back over its file.
    int read_loss;
    // 1 when the lines end in CR LF in the file: set by buff_read, which
    // holds them without the CRs, and followed by every write of the buffer.
    int crlf;
    // 1 when another buffer has written this buffer's file since this one
    // read or wrote it (commands/same_file.h); buff_read clears it.
    int written_by_other;
};

extern text_buffer *buffs[MAX_BUFFS];
extern int n_buffs;
extern text_buffer *cur_buffer;

// Empties both tables (all slots null, no current buffer). Called once at
// start-up; records already in the tables are not freed.
void data_init();

// Leaves buffers and languages for the process exit to reclaim.
void data_deinit();

// A new buffer in the lowest free slot, with an empty closed top fold that is
// also its current fold, the next id, the parent id, changed 0, a copy of the
// host file name, the language and its flags word, line number 0, lines
// ending in a newline alone. Null when
// all slots are in use, the name is longer than LINE_MAX_TEXT bytes or memory
// runs out. The file is not read and cur_buffer is not changed.
text_buffer *buff_create(const char *fn, int parent, language_def *lang);

// Frees the buffer with its whole tree and its slot, whether changed or not,
// and sets to -1 the parent of every buffer whose parent it was: 1. Returns 0,
// changing nothing, for the current buffer or one that is not in the table.
int buff_delete(text_buffer *b);

// What is about to happen to a buffer's whole tree, for the notice below.
enum buff_event {
    BUFF_REREAD, // buff_read is about to replace it with what it reads
    BUFF_FREED,  // buff_delete is about to free the buffer
};

// Called with the buffer and the event just before its tree goes (the undo
// journal of its edits goes with it). Null for none; one registrant at a
// time (host/notice.h).
void buff_set_notice(void (*notice)(text_buffer *b, int event));

// Calls the notice, if any: buff_read and buff_delete do.
void buff_notify(text_buffer *b, int event);

// The buffer with that id, or whose file name equals the host name under
// cmp_os_fn, or null; both scan the slots from 0 up.
text_buffer *lookup_buff_id(int id);
text_buffer *lookup_buff_text(const char *fn);
