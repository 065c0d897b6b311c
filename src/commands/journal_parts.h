// The undo journal's records and what its files share: journal.cpp (the
// journals and their actions), journal_watch.cpp (recording the changes),
// journal_owner.cpp (the lines it owns or shares with the undelete stack) and
// journal_replay.cpp (undo and redo). Not for use outside the journal
// (commands/journal.h).
#pragma once

#include "commands/journal.h"

#include "text/line.h"

#include <cstddef>
#include <deque>
#include <unordered_map>
#include <vector>

namespace journal_parts {

// ---- Records -------------------------------------------------------------------

enum record_kind : unsigned char {
    R_INSERT,
    R_REMOVE,
    R_MOVE,
    R_STRING,
    R_INDENT,
    R_OPEN,
    R_MARKS
};

// A fold's place where lines came or went: the line after that spot, with
// its index and the fold's current line count there, and the fold's marks
// before the change and after it (the latter taken when it is first undone).
// Undoing in the reverse order finds every list as the change left it, so
// the place can be taken up again without walking to it.
struct PLACE {
    FOLD *fold;
    LINE *cur;
    int index, count;
    int before[2];
    int after[2];
};

inline PLACE place_of(FOLD *f, LINE *cur) {
    return {f, cur, f->cur_index, f->cur_count, {f->mark1, f->mark2}, {f->mark1, f->mark2}};
}

// R_INSERT and R_REMOVE: the line and the key it is known by (key_of).
struct LIST_OP {
    PLACE at;
    LINE *line;
    const void *key;
};

// R_MOVE: n lines from `first` on, moved from one place to another. A side
// that hangs from no buffer (a holder, a fold line being made or emptied) is
// known by its key; null for a side in the buffer.
struct MOVE_OP {
    PLACE from, to;
    LINE *first;
    int n;
    const void *from_key, *to_key;
};

// One change. R_STRING: a is the string's kind, obj its owner, str the string
// not in the tree now. R_INDENT and R_OPEN: obj the line, a the value not in
// it now. R_MARKS: obj the fold, a and b the marks not in it now. R_INSERT,
// R_REMOVE, R_MOVE: obj the LIST_OP or MOVE_OP.
struct RECORD {
    record_kind kind;
    int a, b;
    void *obj;
    char *str;
};

struct ACTION {
    std::vector<RECORD> records;
    JOURNAL_CURSOR start{}, end{};
    bool text = false; // changed more than marks
};

// The saved point: an index into the actions, or one of these.
constexpr long SAVED_NONE = -1;    // none: the file matches no point
constexpr long SAVED_UNKNOWN = -2; // the point now, if the buffer is unchanged

struct JOURNAL {
    BUFF *buff = nullptr; // null for a free slot
    std::deque<ACTION *> actions;
    size_t done = 0;
    long saved = SAVED_UNKNOWN;
    // The action of the key running, or null; an action of typed characters
    // stays open while the keys after it type too.
    ACTION *open = nullptr;
    bool frozen = false; // read afresh during this key: records nothing more
    size_t bytes = 0;
};

extern bool running;   // journal_start has been called
extern bool replaying; // an undo or redo is changing the tree: nothing is recorded

// ---- The journals and their actions (journal.cpp) ---------------------------------

// The journal of the buffer, or null; journal_for makes one when there is none.
// The journal found last is kept: it is mostly the current buffer's, whose
// lines change with every typed character.
extern JOURNAL *last_used;
JOURNAL *find_journal(const BUFF *b);
inline JOURNAL *journal_of(const BUFF *b) {
    return last_used && last_used->buff == b ? last_used : find_journal(b);
}
JOURNAL *journal_for(BUFF *b);

// The fold at the top of f's parent chain, and the buffer whose top fold it
// is (null for none).
FOLD *root_of(FOLD *f);
BUFF *buffer_of(FOLD *f);

// The saved point becomes known, if it was not: now, if the buffer is unchanged.
inline void resolve_saved(JOURNAL *j) {
    if (j->saved == SAVED_UNKNOWN)
        j->saved = j->buff->changed ? SAVED_NONE : static_cast<long>(j->done);
}

// The action the key running adds to; a new one drops the redo side. Throws
// std::bad_alloc.
ACTION *open_action(JOURNAL *j);
// Room for one more record; throws std::bad_alloc.
void make_room(ACTION *a);
// Ends the open action: it takes the cursor as its end, goes when it is empty,
// and the oldest go past the limits.
void close(JOURNAL *j);
// Memory ran out while recording: the journal starts afresh after this key.
void lose(JOURNAL *j);

// Records of lists, kept for reuse. new_list_op throws std::bad_alloc.
LIST_OP *new_list_op(const LIST_OP &op);
void free_list_op(LIST_OP *op);

extern const TREE_WATCHER watcher; // journal_watch.cpp

// ---- Lines the journal owns or shares with the stack (journal_owner.cpp) -------

// A detached line or fold that records may put back into a buffer: how many
// live records name it, and the line itself when the journal owns it. A fold
// line is known by its fold (a move names only the fold), any other line by
// itself.
struct ROOT {
    JOURNAL *j;
    int refs;
    LINE *owned;
    size_t cost;
};

extern std::unordered_map<const void *, ROOT> roots;

inline const void *key_of(const LINE *l) {
    return line_kind(l) == LINE_FOLD ? static_cast<const void *>(line_fold(l)) : l;
}

// A record of j names the key (throws std::bad_alloc); the last record naming
// it goes, and a line the journal owns is freed.
void ref(const void *key, JOURNAL *j);
void unref(const void *key);
ROOT &root(const void *key);
// The journal owns the line of the root now, or no longer.
void own(ROOT &r, LINE *l);
void disown(ROOT &r);

// TREE_WATCHER::deleting: a line that records need is kept instead of freed.
int deleting(LINE *l);

// A deep copy with the marks of its folds; null when memory runs out.
LINE *equal_copy(const LINE *l);

// An undelete stack entry whose lines an undo has put back into a buffer
// while the entry still names them: the line itself, or the holder that the
// lines left. Nothing has touched the lines since, so the entry's copy can
// wait until something could tell the difference (settle), and when the undo
// is redone the lines simply go back to the entry.
struct LENT {
    LINE *item; // the entry's line or holder
    void *op;   // the LIST_OP (a line) or MOVE_OP (a holder) that brought the lines back
    bool block;
};

extern std::vector<LENT> lent; // room for the whole stack is kept, so adding never allocates
extern bool quiet;             // the journal itself is reading or changing the stack

struct quiet_guard {
    bool was = quiet;
    quiet_guard() { quiet = true; }
    ~quiet_guard() { quiet = was; }
};

// Every lent entry gets its own copy now (settle); when memory runs out for
// one, the entry goes from the stack, its lines being in the buffer.
void settle_lent();
inline void settle() {
    if (!lent.empty() && !quiet) settle_lent();
}
// The same for every lent entry but the one lent by op (may be null), except
// that all copies are made first and "out of memory" is raised, nothing
// changed, when one cannot be.
void settle_or_raise(const void *op);
// The entry lent by op has its lines back.
void unlend(const void *op);

// ---- Recording (journal_watch.cpp) ------------------------------------------------

// The journal that records a change of the buffer now, or null (not running,
// replaying, no buffer, or read afresh during this key).
inline JOURNAL *recording(BUFF *b) {
    if (!running || replaying || !b) return nullptr;
    settle(); // the buffer is about to change: lent lines become the stack's own
    JOURNAL *j = journal_of(b);
    if (!j) j = journal_for(b);
    if (j->frozen) return nullptr;
    resolve_saved(j); // before the command marks the buffer changed
    return j;
}

// ---- Undo and redo (journal_replay.cpp) -------------------------------------------

// Undoes the buffer's last action or redoes the first undone: 0 when there is
// none. Raises "out of memory" with nothing changed.
int step(BUFF *b, JOURNAL_CURSOR *was, bool undo);

} // namespace journal_parts
