#include "commands/journal.h"

#include "commands/block.h"
#include "commands/errors.h"
#include "commands/undelete.h"
#include "text/scan.h"

#include <cassert>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

// ---- Records -----------------------------------------------------------------

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

JOURNAL slots[MAX_BUFFS];

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

std::unordered_map<const void *, ROOT> roots;

bool running;
bool replaying;
bool key_typing;
BUFF *begin_buff; // the current buffer when the key began, until its first action
JOURNAL_CURSOR begin_cursor;

// The journals with an open action or frozen during this key, for
// journal_end, which so costs nothing for the others.
JOURNAL *touched[MAX_BUFFS];
int n_touched;

JOURNAL *last_used; // the journal found last: mostly the current buffer's

// An undelete stack entry whose lines an undo has put back into a buffer
// while the entry still names them: the line itself, or the holder that
// the lines left. Nothing has touched the lines since, so the entry's copy
// can wait until something could tell the difference (settle), and when the
// undo is redone the lines simply go back to the entry.
struct LENT {
    LINE *item; // the entry's line or holder
    void *op;   // the LIST_OP (a line) or MOVE_OP (a holder) that brought the lines back
    bool block;
};

std::vector<LENT> lent; // room for the whole stack is kept, so adding never allocates
bool quiet;             // the journal itself is reading or changing the stack

// What the journal counts for a line it owns: records and strings roughly.
constexpr size_t LINE_COST = sizeof(LINE) + 24;

const void *key_of(const LINE *l) {
    return line_kind(l) == LINE_FOLD ? static_cast<const void *>(line_fold(l)) : l;
}

FOLD *root_of(FOLD *f) {
    while (f->parent) f = f->parent;
    return f;
}

// The buffer whose tree holds the fold, or null. Copies and files being read
// fill folds of no buffer line by line, so the search stops after the last
// buffer.
BUFF *buffer_of(FOLD *f) {
    FOLD *top = root_of(f);
    if (cur_buffer && cur_buffer->top == top) return cur_buffer;
    for (int i = 0, seen = 0; seen < n_buffs; i++) {
        if (!buffs[i]) continue;
        if (buffs[i]->top == top) return buffs[i];
        seen++;
    }
    return nullptr;
}

JOURNAL_CURSOR cursor_of(const BUFF *b) {
    const FOLD *f = b->fold;
    return {f, b->line_no, f->into, f->col, f->row};
}

JOURNAL *journal_of(const BUFF *b) {
    if (last_used && last_used->buff == b) return last_used;
    for (JOURNAL &j : slots)
        if (j.buff == b) return last_used = &j;
    return nullptr;
}

JOURNAL *journal_for(BUFF *b) {
    if (JOURNAL *j = journal_of(b)) return j;
    JOURNAL *j = journal_of(nullptr); // a free slot: there are as many as buffers
    assert(j);
    j->buff = b;
    j->saved = SAVED_UNKNOWN;
    return last_used = j;
}

void touch(JOURNAL *j) {
    for (int i = 0; i < n_touched; i++)
        if (touched[i] == j) return;
    touched[n_touched++] = j;
}

void resolve_saved(JOURNAL *j) {
    if (j->saved == SAVED_UNKNOWN)
        j->saved = j->buff->changed ? SAVED_NONE : static_cast<long>(j->done);
}

// ---- Spare records ---------------------------------------------------------------

// Actions and list operations that went are kept for the next ones, up to
// SPARES of each, so that a full journal records a key without allocating.
constexpr size_t SPARES = 64;
std::vector<ACTION *> spare_actions; // room for SPARES is kept
std::vector<LIST_OP *> spare_ops;

// Throws std::bad_alloc.
ACTION *new_action() {
    if (spare_actions.empty()) return new ACTION;
    ACTION *a = spare_actions.back();
    spare_actions.pop_back();
    return a;
}

void free_action(ACTION *a) {
    if (spare_actions.size() == SPARES) {
        delete a;
        return;
    }
    std::vector<RECORD> room = std::move(a->records);
    room.clear();
    *a = ACTION{};
    a->records = std::move(room);
    spare_actions.push_back(a);
}

// Throws std::bad_alloc.
LIST_OP *new_list_op(const LIST_OP &op) {
    if (spare_ops.empty()) return new LIST_OP(op);
    LIST_OP *o = spare_ops.back();
    spare_ops.pop_back();
    *o = op;
    return o;
}

void free_list_op(LIST_OP *op) {
    if (spare_ops.size() == SPARES)
        delete op;
    else
        spare_ops.push_back(op);
}

void free_spares() {
    for (ACTION *a : spare_actions) delete a;
    for (LIST_OP *o : spare_ops) delete o;
    spare_actions.clear();
    spare_ops.clear();
}

// ---- Roots ----------------------------------------------------------------------

void ref(const void *key, JOURNAL *j) {
    ROOT &r = roots.try_emplace(key, ROOT{j, 0, nullptr, 0}).first->second;
    assert(r.j == j);
    r.refs++;
}

void own(ROOT &r, LINE *l) {
    assert(!r.owned);
    r.owned = l;
    r.cost = (static_cast<size_t>(lines_in(l)) + 1) * LINE_COST;
    r.j->bytes += r.cost;
}

void disown(ROOT &r) {
    r.j->bytes -= r.cost;
    r.owned = nullptr;
    r.cost = 0;
}

// The last record naming it goes: a line the journal owns is freed.
void unref(const void *key) {
    auto it = roots.find(key);
    assert(it != roots.end());
    if (--it->second.refs) return;
    LINE *owned = it->second.owned;
    if (owned) disown(it->second);
    roots.erase(it);
    line_delete_deep(owned); // no longer known, so the watcher lets it go
}

ROOT &root(const void *key) {
    auto it = roots.find(key);
    assert(it != roots.end());
    return it->second;
}

// ---- Lent entries -----------------------------------------------------------------

// The index of the stack entry holding item; the journal reads the stack
// quietly, so that reading does not settle.
int entry_of(const LINE *item) {
    for (int i = 0; i < undel_count(); i++) {
        const UNDEL_ENTRY &e = undel_entry(i);
        if ((e.kind == UNDEL_LINE || e.kind == UNDEL_BLOCK) && e.item.line == item) return i;
    }
    return -1;
}

// Gives the folds of a deep copy the block marks of the folds they copy, so
// that a copy left on the stack in place of a line is the line's equal.
void copy_marks(const LINE *from, LINE *to) {
    if (line_kind(from) != LINE_FOLD) return;
    try {
        std::vector<std::pair<const FOLD *, FOLD *>> folds{{line_fold(from), line_fold(to)}};
        while (!folds.empty()) {
            auto [src, dst] = folds.back();
            folds.pop_back();
            dst->mark1 = src->mark1;
            dst->mark2 = src->mark2;
            for (const LINE *s = src->first, *d = dst->first; s != src->end;
                 s = s->next, d = d->next)
                if (line_kind(s) == LINE_FOLD) folds.emplace_back(line_fold(s), line_fold(d));
        }
    } catch (const std::bad_alloc &) {
        // The copy keeps no marks: the lines are what matters.
    }
}

// A deep copy with the marks of its folds; null when memory runs out.
LINE *equal_copy(const LINE *l) {
    LINE *copy = copy_with_notice(l);
    if (copy) copy_marks(l, copy);
    return copy;
}

// A copy of the lines of a lent entry, made from the buffer where they are;
// null when memory runs out.
LINE *copy_lent(const LENT &l) {
    if (!l.block) return equal_copy(static_cast<LIST_OP *>(l.op)->line);
    auto *op = static_cast<MOVE_OP *>(l.op);
    LINE *holder = line_create_fold("", 0, 0);
    if (!holder) return nullptr;
    FOLD *h = line_fold(holder);
    const LINE *s = op->first;
    for (int i = 0; i < op->n; i++, s = s->next) {
        LINE *c = equal_copy(s);
        if (!c) {
            line_delete_deep(holder);
            return nullptr;
        }
        line_insert(c, h);
        line_step_next(h);
    }
    return holder;
}

struct quiet_guard {
    bool was = quiet;
    quiet_guard() { quiet = true; }
    ~quiet_guard() { quiet = was; }
};

// Every lent entry gets its own copy now. When memory runs out for one, the
// entry goes from the stack instead: its lines are in the buffer, and
// everything after it stays as it was, as when the stack drops its oldest.
void settle_lent() {
    quiet_guard guard;
    for (const LENT &l : lent) {
        int i = entry_of(l.item);
        assert(i >= 0);
        if (LINE *copy = copy_lent(l))
            undel_swap_line(i, copy);
        else
            undel_drop_line(i);
    }
    lent.clear();
}

inline void settle() {
    if (!lent.empty() && !quiet) settle_lent();
}

// The same for the lent entries that keep() does not keep, but all copies
// are made first, and when one cannot be, "out of memory" is raised with
// nothing changed.
template <class Keep> void settle_or_raise(Keep keep) {
    quiet_guard guard;
    struct COPY {
        LINE *item;
        owned_line copy;
    };
    std::vector<COPY> copies;
    for (const LENT &l : lent) {
        if (keep(l)) continue;
        owned_line copy(copy_lent(l));
        if (!copy) error_code(ERR_OUT_OF_MEMORY);
        copies.push_back({l.item, std::move(copy)});
    }
    for (COPY &c : copies) {
        undel_swap_line(entry_of(c.item), c.copy.release());
        for (size_t i = 0; i < lent.size(); i++) {
            if (lent[i].item != c.item) continue;
            lent.erase(lent.begin() + static_cast<long>(i));
            break;
        }
    }
}

void unlend(const void *op) {
    for (size_t i = 0; i < lent.size(); i++) {
        if (lent[i].op != op) continue;
        lent.erase(lent.begin() + static_cast<long>(i));
        return;
    }
}

// ---- Dropping records -----------------------------------------------------------

void release(JOURNAL *j, RECORD &r) {
    j->bytes -= sizeof(RECORD);
    switch (r.kind) {
    case R_STRING:
        j->bytes -= std::strlen(r.str) + 1;
        str_free(r.str);
        break;
    case R_INSERT:
    case R_REMOVE: {
        auto *op = static_cast<LIST_OP *>(r.obj);
        j->bytes -= sizeof(LIST_OP);
        unref(op->key);
        free_list_op(op);
        break;
    }
    case R_MOVE: {
        auto *op = static_cast<MOVE_OP *>(r.obj);
        j->bytes -= sizeof(MOVE_OP);
        if (op->from_key) unref(op->from_key);
        if (op->to_key) unref(op->to_key);
        delete op;
        break;
    }
    default: break;
    }
}

void release(JOURNAL *j, ACTION *a) {
    for (RECORD &r : a->records) release(j, r);
    free_action(a);
}

void drop_redo(JOURNAL *j) {
    settle(); // lines lent back must be the stack's own before records go
    while (j->actions.size() > j->done) {
        release(j, j->actions.back());
        j->actions.pop_back();
    }
    if (j->saved > static_cast<long>(j->done)) j->saved = SAVED_NONE;
}

void drop_oldest(JOURNAL *j) {
    settle(); // lines lent back must be the stack's own before records go
    release(j, j->actions.front());
    j->actions.pop_front();
    j->done--;
    if (j->saved >= 0) j->saved = j->saved ? j->saved - 1 : SAVED_NONE;
}

void drop_all(JOURNAL *j) {
    settle(); // lines lent back must be the stack's own before records go
    j->open = nullptr;
    while (!j->actions.empty()) {
        release(j, j->actions.back());
        j->actions.pop_back();
    }
    j->done = 0;
}

// Memory ran out while recording: the journal starts afresh from after this
// key, and the buffer's file matches no point of it unless it is unchanged.
void lose(JOURNAL *j) {
    if (j->buff == begin_buff) begin_buff = nullptr; // its line numbers are gone
    drop_all(j);
    j->saved = SAVED_UNKNOWN;
    j->frozen = true;
    touch(j);
}

// ---- Actions ----------------------------------------------------------------------

void close(JOURNAL *j) {
    ACTION *a = j->open;
    if (!a) return;
    j->open = nullptr;
    a->end = cursor_of(j->buff);
    if (a->records.empty()) {
        assert(j->actions.back() == a && j->done == j->actions.size());
        j->actions.pop_back();
        j->done--;
        free_action(a);
        return;
    }
    if (j->bytes > JOURNAL_MAX_BYTES || j->actions.size() > JOURNAL_MAX_ACTIONS) {
        while (j->actions.size() > 1 && j->done == j->actions.size() &&
               (j->actions.size() > JOURNAL_MAX_ACTIONS || j->bytes > JOURNAL_MAX_BYTES))
            drop_oldest(j);
    }
}

// The action the key running adds to: the one already open (of this key, or
// the run of typed characters it continues), or a new one, which drops the
// redo side. Throws std::bad_alloc.
ACTION *open_action(JOURNAL *j) {
    if (j->open) return j->open;
    resolve_saved(j);
    BUFF *b = j->buff;
    struct spare_guard {
        ACTION *a;
        ~spare_guard() {
            if (a) free_action(a);
        }
    } guard{new_action()};
    ACTION *a = guard.a;
    if (b == begin_buff) {
        a->start = begin_cursor;
        begin_buff = nullptr;
    } else {
        a->start = cursor_of(b);
    }
    drop_redo(j);
    j->actions.push_back(a);
    guard.a = nullptr;
    j->done++;
    touch(j);
    return j->open = a;
}

// The journal that records a change of the buffer now, or null.
JOURNAL *recording(BUFF *b) {
    if (!running || replaying || !b) return nullptr;
    settle(); // the buffer is about to change: lent lines become the stack's own
    JOURNAL *j = journal_for(b);
    if (j->frozen) return nullptr;
    resolve_saved(j); // before the command marks the buffer changed
    return j;
}

void make_room(ACTION *a) {
    if (a->records.size() == a->records.capacity())
        a->records.reserve(a->records.empty() ? 4 : 2 * a->records.size());
}

PLACE place_of(FOLD *f, LINE *cur) {
    return {f, cur, f->cur_index, f->cur_count, {f->mark1, f->mark2}, {f->mark1, f->mark2}};
}

// ---- The watcher ------------------------------------------------------------------

void add_list_record(BUFF *b, record_kind kind, FOLD *f, LINE *cur, LINE *l) {
    JOURNAL *j = recording(b);
    if (!j) return;
    try {
        ACTION *a = open_action(j);
        make_room(a);
        LIST_OP *op = new_list_op({place_of(f, cur), l, key_of(l)});
        try {
            ref(op->key, j);
        } catch (const std::bad_alloc &) {
            free_list_op(op);
            throw;
        }
        a->records.push_back({kind, 0, 0, op, nullptr});
        a->text = true;
        j->bytes += sizeof(RECORD) + sizeof(LIST_OP);
    } catch (const std::bad_alloc &) {
        lose(j);
    }
}

void inserting(LINE *l, FOLD *f) {
    if (running && !replaying) add_list_record(buffer_of(f), R_INSERT, f, f->cur, l);
}

void removing(FOLD *f) {
    if (running && !replaying) add_list_record(buffer_of(f), R_REMOVE, f, f->cur->next, f->cur);
}

void moving(FOLD *from, int n, FOLD *to, LINE *after) {
    if (!running || replaying) return;
    BUFF *bf = buffer_of(from), *bt = buffer_of(to);
    if (bf && bt && bf != bt) {
        // No command moves lines between buffers; if one did, neither
        // journal could take it back.
        lose(journal_for(bf));
        lose(journal_for(bt));
        return;
    }
    JOURNAL *j = recording(bf ? bf : bt);
    if (!j) return;
    const void *from_key = bf ? nullptr : root_of(from);
    const void *to_key = bt ? nullptr : root_of(to);
    const void *counted[2] = {};
    try {
        ACTION *a = open_action(j);
        make_room(a);
        auto op = std::make_unique<MOVE_OP>(
            MOVE_OP{place_of(from, after), place_of(to, to->cur), from->cur, n, from_key, to_key});
        if (from_key) ref(counted[0] = from_key, j);
        if (to_key) ref(counted[1] = to_key, j);
        a->records.push_back({R_MOVE, 0, 0, op.release(), nullptr});
        a->text = true;
        j->bytes += sizeof(RECORD) + sizeof(MOVE_OP);
    } catch (const std::bad_alloc &) {
        for (const void *k : counted)
            if (k) unref(k);
        lose(j);
    }
}

// A change of one value of obj: recorded unless the action's last record
// already holds the value before it (a run of changes to one thing).
void add_value_record(BUFF *b, record_kind kind, void *obj, int a1, int b1, bool text) {
    JOURNAL *j = recording(b);
    if (!j) return;
    try {
        ACTION *a = open_action(j);
        if (!a->records.empty() && a->records.back().kind == kind && a->records.back().obj == obj)
            return;
        make_room(a);
        a->records.push_back({kind, a1, b1, obj, nullptr});
        a->text = a->text || text;
        j->bytes += sizeof(RECORD);
    } catch (const std::bad_alloc &) {
        lose(j);
    }
}

void indenting(LINE *l, int indent) {
    if (running && !replaying && line_indent(l) != indent)
        add_value_record(cur_buffer, R_INDENT, l, line_indent(l), 0, true);
}

void opening(LINE *l, int open) {
    if (running && !replaying && line_is_open(l) != open)
        add_value_record(cur_buffer, R_OPEN, l, line_is_open(l), 0, true);
}

void marking(FOLD *f, int mark1, int mark2) {
    if (running && !replaying && (f->mark1 != mark1 || f->mark2 != mark2))
        add_value_record(buffer_of(f), R_MARKS, f, f->mark1, f->mark2, false);
}

// The string of that kind that owner holds now.
const char *string_now(int kind, const void *owner) {
    switch (kind) {
    case LINE_TEXT: return line_text(static_cast<const LINE *>(owner));
    case LINE_FOLD: return static_cast<const FOLD *>(owner)->name;
    default: return static_cast<const VFOLD *>(owner)->name;
    }
}

int replaced(int kind, void *owner, char *old) {
    if (!running || replaying) return 0;
    JOURNAL *j = recording(kind == LINE_FOLD ? buffer_of(static_cast<FOLD *>(owner)) : cur_buffer);
    if (!j) return 0;
    // A run of changes to one string keeps only the first old string: the
    // typed characters of a line above all, which so cost no comparison.
    const ACTION *run = j->open;
    if (run && !run->records.empty()) {
        const RECORD &last = run->records.back();
        if (last.kind == R_STRING && last.obj == owner && last.a == kind) return 0;
    }
    if (std::strcmp(old, string_now(kind, owner)) == 0) return 0;
    try {
        ACTION *a = open_action(j);
        make_room(a);
        a->records.push_back({R_STRING, kind, 0, owner, old});
        a->text = true;
        j->bytes += sizeof(RECORD) + std::strlen(old) + 1;
        return 1;
    } catch (const std::bad_alloc &) {
        lose(j);
        return 0;
    }
}

int deleting(LINE *l) {
    if (!running) return 0;
    auto it = roots.find(key_of(l));
    if (it == roots.end()) return 0;
    own(it->second, l);
    return 1;
}

const TREE_WATCHER watcher = {inserting, removing, moving,   indenting,
                              opening,   marking,  replaced, deleting};

void buffer_notice(BUFF *b, int event) {
    if (event == BUFF_FREED) {
        if (b == begin_buff) begin_buff = nullptr;
        if (JOURNAL *j = journal_of(b)) {
            drop_all(j);
            j->buff = nullptr;
        }
        return;
    }
    lose(journal_for(b)); // the read state counts as saved once its reader clears changed
}

// ---- Undo and redo ----------------------------------------------------------------

// What an undo or redo does with the undelete stack, worked out before it
// changes anything.
struct PLAN {
    const void *lend = nullptr; // undo: this op brings back the lines of lent_item's entry
    LINE *lent_item = nullptr;
    const void *give_back = nullptr; // redo: this op returns a lent entry its lines
};

// The keys of the lines and holders that a record may take out of the
// detached state or put into it, and whether it may lend the first.
int keys_of(const RECORD &r, const void *keys[2]) {
    if (r.kind == R_INSERT || r.kind == R_REMOVE) {
        keys[0] = static_cast<const LIST_OP *>(r.obj)->key;
        return 1;
    }
    if (r.kind != R_MOVE) return 0;
    auto *op = static_cast<const MOVE_OP *>(r.obj);
    int n = 0;
    if (op->to_key) keys[n++] = op->to_key; // undo takes the lines out of it
    if (op->from_key) keys[n++] = op->from_key;
    return n;
}

// Entries lent by an earlier undo get their copies, except the one this redo
// gives its lines back. Entries whose lines this step puts back into the
// buffer are lent when nothing else in the action can touch those lines
// after the undo (before the redo), that is by the action's first record
// other than marks; otherwise they get equal copies now, so that the stack
// stays as it was. All copies come first: when one cannot be made, "out of
// memory" is raised with nothing changed.
PLAN prepare(ACTION *a, bool undo) {
    PLAN plan;
    const RECORD *first = nullptr;
    for (const RECORD &r : a->records) {
        if (r.kind == R_MARKS) continue;
        first = &r;
        break;
    }
    settle_or_raise([&](const LENT &l) { return !undo && first && first->obj == l.op; });
    if (!undo && first && !lent.empty()) {
        for (const LENT &l : lent)
            if (l.op == first->obj) plan.give_back = l.op;
    }
    quiet_guard guard;
    struct SWAP {
        int entry;
        owned_line copy;
    };
    std::vector<SWAP> swaps;
    for (const RECORD &r : a->records) {
        const void *keys[2];
        int n = keys_of(r, keys);
        for (int k = 0; k < n; k++) {
            for (int i = 0; i < undel_count(); i++) {
                const UNDEL_ENTRY &e = undel_entry(i);
                if (e.kind != UNDEL_LINE && e.kind != UNDEL_BLOCK) continue;
                if (key_of(e.item.line) != keys[k] || r.obj == plan.give_back) continue;
                bool lends = undo && &r == first && k == 0 && r.kind != R_INSERT;
                if (lends) {
                    plan.lend = r.obj;
                    plan.lent_item = e.item.line;
                } else {
                    owned_line copy(equal_copy(e.item.line));
                    if (!copy) error_code(ERR_OUT_OF_MEMORY);
                    swaps.push_back({i, std::move(copy)});
                }
                break;
            }
        }
    }
    for (SWAP &s : swaps) {
        LINE *l = undel_swap_line(s.entry, s.copy.release());
        own(root(key_of(l)), l);
    }
    return plan;
}

// Every fold above f goes to its first line, so that changing f's list keeps
// their current line counts right (their current lines are not after it).
void first_lines_above(FOLD *f) {
    for (FOLD *p = f->parent; p; p = p->parent)
        if (p->cur_index) line_step_first(p);
}

void keep_after(PLACE &p) {
    p.after[0] = p.fold->mark1;
    p.after[1] = p.fold->mark2;
}

void set_marks(const PLACE &p, const int m[2]) {
    fold_set_marks(p.fold, m[0], m[1]);
}

// The line goes into the buffer: from the journal, or lent by its stack entry.
void link_in(LIST_OP *op, const PLAN &plan) {
    if (plan.lend == op) {
        lent.push_back({op->line, op, false});
    } else {
        ROOT &r = root(op->key);
        assert(r.owned == op->line);
        disown(r);
    }
    line_insert(op->line, op->at.fold);
}

// The line leaves the buffer: to the journal, or back to the entry it was
// lent by.
void take_out(LIST_OP *op, const PLAN &plan) {
    line_remove(op->at.fold);
    if (plan.give_back == op)
        unlend(op);
    else
        own(root(op->key), op->line);
}

void put_back_list(RECORD &r, bool undo, const PLAN &plan) {
    auto *op = static_cast<LIST_OP *>(r.obj);
    PLACE &p = op->at;
    first_lines_above(p.fold);
    if (undo) keep_after(p);
    bool insert = (r.kind == R_INSERT) != undo;
    if (insert) {
        line_set_current(p.fold, p.cur, p.index, p.count);
        link_in(op, plan);
    } else {
        line_set_current(p.fold, op->line, p.index, p.count);
        take_out(op, plan);
    }
    set_marks(p, undo ? p.before : p.after);
}

void put_back_move(RECORD &r, bool undo, const PLAN &plan) {
    auto *op = static_cast<MOVE_OP *>(r.obj);
    first_lines_above(op->from.fold);
    first_lines_above(op->to.fold);
    PLACE &src = undo ? op->to : op->from;
    PLACE &dst = undo ? op->from : op->to;
    if (undo) {
        keep_after(op->from);
        keep_after(op->to);
    }
    line_set_current(src.fold, op->first, src.index, src.count);
    line_set_current(dst.fold, dst.cur, dst.index, dst.count);
    line_move_run(src.fold, op->n, dst.fold);
    if (plan.lend == op) {
        // The holder stays the entry's, empty while its lines are lent.
        own(root(op->to_key), plan.lent_item);
        lent.push_back({plan.lent_item, op, true});
    } else if (plan.give_back == op) {
        disown(root(op->to_key));
        unlend(op);
    }
    set_marks(op->from, undo ? op->from.before : op->from.after);
    set_marks(op->to, undo ? op->to.before : op->to.after);
}

// Undoing and redoing a value change are the same swap.
void swap_value(JOURNAL *j, RECORD &r) {
    switch (r.kind) {
    case R_STRING: {
        size_t had = std::strlen(r.str);
        r.str = string_exchange(r.a, r.obj, r.str);
        j->bytes = j->bytes - had + std::strlen(r.str);
        break;
    }
    case R_INDENT: {
        auto *l = static_cast<LINE *>(r.obj);
        int now = line_indent(l);
        line_set_indent(l, r.a);
        r.a = now;
        break;
    }
    case R_OPEN: {
        auto *l = static_cast<LINE *>(r.obj);
        int now = line_is_open(l);
        line_set_open(l, r.a);
        r.a = now;
        break;
    }
    default: {
        auto *f = static_cast<FOLD *>(r.obj);
        int m1 = f->mark1, m2 = f->mark2;
        fold_set_marks(f, r.a, r.b);
        r.a = m1;
        r.b = m2;
        break;
    }
    }
}

void put_back(JOURNAL *j, RECORD &r, bool undo, const PLAN &plan) {
    switch (r.kind) {
    case R_INSERT:
    case R_REMOVE: put_back_list(r, undo, plan); break;
    case R_MOVE: put_back_move(r, undo, plan); break;
    default: swap_value(j, r); break;
    }
}

bool text_between(const JOURNAL *j, size_t from, size_t to) {
    for (size_t i = from; i < to; i++)
        if (j->actions[i]->text) return true;
    return false;
}

int changed_flag(const JOURNAL *j) {
    if (j->saved < 0) return 1;
    size_t saved = static_cast<size_t>(j->saved);
    return saved < j->done ? text_between(j, saved, j->done) : text_between(j, j->done, saved);
}

struct replay_guard {
    replay_guard() { replaying = true; }
    ~replay_guard() { replaying = false; }
};

int step(BUFF *b, JOURNAL_CURSOR *was, bool undo) {
    if (!running) return 0;
    JOURNAL *j = journal_for(b);
    close(j);         // what this key did so far is an action of its own
    resolve_saved(j); // the file's point is now, if none is known and nothing changed
    if (undo ? j->done == 0 : j->done == j->actions.size()) return 0;
    ACTION *a = j->actions[undo ? j->done - 1 : j->done];
    PLAN plan = prepare(a, undo);
    {
        replay_guard guard;
        if (undo) {
            for (size_t i = a->records.size(); i-- > 0;) put_back(j, a->records[i], true, plan);
        } else {
            for (RECORD &r : a->records) put_back(j, r, false, plan);
        }
    }
    j->done += undo ? -1 : 1;
    line_step_first(b->top);
    b->fold = b->top;
    b->line_no = 0;
    b->changed = changed_flag(j);
    *was = undo ? a->start : a->end;
    return 1;
}

} // namespace

// ---- The interface ------------------------------------------------------------------

void journal_start() {
    if (running) return;
    lent.reserve(UNDEL_MAX);
    spare_actions.reserve(SPARES);
    spare_ops.reserve(SPARES);
    running = true;
    line_set_watcher(&watcher);
    buff_set_notice(buffer_notice);
}

void journal_stop() {
    if (!running) return;
    settle();
    for (JOURNAL &j : slots) {
        if (!j.buff) continue;
        drop_all(&j);
        j.buff = nullptr;
    }
    assert(roots.empty());
    running = false;
    line_set_watcher(nullptr);
    buff_set_notice(nullptr);
    begin_buff = nullptr;
    n_touched = 0;
    last_used = nullptr;
    free_spares();
}

bool journal_running() {
    return running;
}

void journal_begin(bool typing) {
    // A typed character continues the run of the keys before it, if they
    // typed: their action stays open. Anything else closes it.
    if (!typing && n_touched) {
        key_typing = false;
        journal_end();
    }
    key_typing = typing;
    if (running && cur_buffer) {
        begin_buff = cur_buffer;
        begin_cursor = cursor_of(cur_buffer);
    }
}

void journal_end() {
    begin_buff = nullptr;
    if (key_typing) return; // the run stays open for the next typed character
    for (int i = 0; i < n_touched; i++) {
        JOURNAL *j = touched[i];
        if (!j->buff) continue; // its buffer went during the key
        close(j);
        j->frozen = false;
    }
    n_touched = 0;
}

void journal_settle() {
    settle();
}

void journal_saved(BUFF *b) {
    if (!running) return;
    JOURNAL *j = journal_for(b);
    close(j);
    j->saved = static_cast<long>(j->done);
}

void journal_read(BUFF *b) {
    if (JOURNAL *j = running ? journal_of(b) : nullptr) j->frozen = false;
}

void journal_unsaved(BUFF *b) {
    if (JOURNAL *j = running ? journal_of(b) : nullptr) j->saved = SAVED_NONE;
}

LINE *journal_take_from_stack(LINE *l, BUFF *b) {
    if (!running) return l;
    auto it = roots.find(key_of(l));
    if (it == roots.end() || it->second.j->buff == b) return l;
    LINE *copy = equal_copy(l);
    if (!copy) error_code(ERR_OUT_OF_MEMORY);
    own(it->second, l);
    return copy;
}

int journal_undo(BUFF *b, JOURNAL_CURSOR *was) {
    return step(b, was, true);
}

int journal_redo(BUFF *b, JOURNAL_CURSOR *was) {
    return step(b, was, false);
}

size_t journal_done(const BUFF *b) {
    const JOURNAL *j = journal_of(b);
    return j ? j->done : 0;
}

size_t journal_undone(const BUFF *b) {
    const JOURNAL *j = journal_of(b);
    return j ? j->actions.size() - j->done : 0;
}

size_t journal_bytes(const BUFF *b) {
    const JOURNAL *j = journal_of(b);
    return j ? j->bytes : 0;
}
