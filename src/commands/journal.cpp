#include "commands/journal_parts.h"

#include "commands/errors.h"
#include "commands/undelete.h"
#include "text/scan.h"

#include <cassert>
#include <cstring>
#include <memory>
#include <new>

namespace journal_parts {

// ---- The journals ----------------------------------------------------------------

bool running;
bool replaying;
JOURNAL *last_used;

namespace {

JOURNAL slots[MAX_BUFFS];

bool key_typing;
BUFF *begin_buff; // the current buffer when the key began, until its first action
JOURNAL_CURSOR begin_cursor;

// The journals with an open action or frozen during this key, for
// journal_end, which so costs nothing for the others.
JOURNAL *touched[MAX_BUFFS];
int n_touched;

JOURNAL_CURSOR cursor_of(const BUFF *b) {
    const FOLD *f = b->fold;
    return {f, b->line_no, f->into, f->col, f->row};
}

void touch(JOURNAL *j) {
    for (int i = 0; i < n_touched; i++)
        if (touched[i] == j) return;
    touched[n_touched++] = j;
}

// ---- Spare records ----------------------------------------------------------------

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

void free_spares() {
    for (ACTION *a : spare_actions) delete a;
    for (LIST_OP *o : spare_ops) delete o;
    spare_actions.clear();
    spare_ops.clear();
}

// ---- Dropping records -------------------------------------------------------------

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

} // namespace

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

JOURNAL *find_journal(const BUFF *b) {
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
    j->frozen = false; // its last buffer may have gone while frozen
    return last_used = j;
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

void make_room(ACTION *a) {
    if (a->records.size() == a->records.capacity())
        a->records.reserve(a->records.empty() ? 4 : 2 * a->records.size());
}

} // namespace journal_parts

using namespace journal_parts;

namespace {

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
    if (!running || !cur_buffer) return;
    // A typed character that goes on with the current buffer's open run
    // starts no action: where it began is known.
    if (typing && last_used && last_used->open && last_used->buff == cur_buffer) return;
    begin_buff = cur_buffer;
    begin_cursor = cursor_of(cur_buffer);
    // The file's point is now, if none is known and the buffer is unchanged:
    // a key that marks it changed without changing it does not hide it.
    resolve_saved(journal_for(cur_buffer));
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

int journal_release_lent(const LINE *item) {
    for (size_t i = 0; i < lent.size(); i++) {
        if (lent[i].item != item) continue;
        lent.erase(lent.begin() + static_cast<long>(i));
        return 1;
    }
    return 0;
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
