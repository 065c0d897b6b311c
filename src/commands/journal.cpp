#include "commands/journal_state.h"

#include "text/scan.h"

#include <cassert>
#include <cstring>
#include <memory>
#include <new>

namespace journal_detail {

// ---- Kept lines ---------------------------------------------------------------------

namespace {

// What the journal counts for a line it keeps: records and strings roughly,
// the same in every build, so that how much history is kept does not depend
// on how lines are laid out in memory.
constexpr size_t LINE_COST = 48;

} // namespace

void kept_lines::ref(const void *key, buffer_journal *j) {
    if (!key) return;
    root &r = roots.try_emplace(key, root{j, 0, nullptr, 0}).first->second;
    assert(r.j == j);
    r.refs++;
}

void kept_lines::unref(const void *key) {
    if (!key) return;
    auto it = roots.find(key);
    assert(it != roots.end());
    if (--it->second.refs) return;
    tree_line *l = it->second.kept;
    if (l) it->second.j->bytes -= it->second.cost;
    roots.erase(it);
    line_delete_deep(l); // no longer named, so it is not kept again
}

kept_lines::root &kept_lines::named(const void *key) {
    auto it = roots.find(key);
    assert(it != roots.end());
    return it->second;
}

void kept_lines::keep(const void *key, tree_line *l) {
    root &r = named(key);
    assert(!r.kept);
    r.kept = l;
    r.cost = (static_cast<size_t>(lines_in(l)) + 1) * LINE_COST;
    r.j->bytes += r.cost;
}

void kept_lines::let_go(const void *key) {
    root &r = named(key);
    assert(r.kept);
    r.j->bytes -= r.cost;
    r.kept = nullptr;
    r.cost = 0;
}

int kept_lines::keeps(tree_line *l) {
    const void *key = key_of(l);
    if (!roots.count(key)) return 0;
    keep(key, l);
    return 1;
}

// ---- Records and journals ---------------------------------------------------------

size_t cost_of(const record &r) {
    size_t extra = r.kind == R_STRING ? std::strlen(r.str) + 1
                   : r.kind == R_LIST ? sizeof(list_change)
                                      : 0;
    return sizeof(record) + extra;
}

journal_cursor cursor_of(const text_buffer *b) {
    const tree_fold *f = b->fold;
    return {.fold = f, .line_no = {b->line_no}, .into = f->into, .col = f->col, .row = f->row};
}

void resolve_saved(buffer_journal &j) {
    if (j.saved == SAVED_UNKNOWN)
        j.saved = j.buff->changed ? SAVED_NONE : static_cast<long>(j.done);
}

undo_journal::undo_journal() {
    line_set_watcher(this);
}

undo_journal::~undo_journal() {
    for (buffer_journal &j : slots) {
        if (j.buff) drop_all(j);
    }
    assert(kept.empty());
    line_set_watcher(nullptr);
}

buffer_journal *undo_journal::find(const text_buffer *b) {
    if (last_used && last_used->buff == b) return last_used;
    for (buffer_journal &j : slots)
        if (j.buff == b) return last_used = &j;
    return nullptr;
}

buffer_journal &undo_journal::of(text_buffer *b) {
    if (buffer_journal *j = find(b)) return *j;
    buffer_journal *j = find(nullptr); // a free slot: there are as many as buffers
    assert(j && j->actions.empty() && !j->bytes);
    j->buff = b;
    j->saved = SAVED_UNKNOWN;
    j->frozen = false; // its last buffer may have gone while frozen
    return *j;
}

void undo_journal::touch(buffer_journal &j) {
    j.touched = any_touched = true;
}

// ---- Dropping records ---------------------------------------------------------------

void undo_journal::release(buffer_journal &j, action &a) {
    for (record &r : a.records) {
        j.bytes -= cost_of(r);
        if (r.kind == R_STRING) str_free(r.str);
        if (r.kind != R_LIST) continue;
        auto *c = static_cast<list_change *>(r.obj);
        kept.unref(c->key);
        delete c;
    }
}

void undo_journal::drop_redo(buffer_journal &j) {
    while (j.actions.size() > j.done) {
        release(j, j.actions.back());
        j.actions.pop_back();
    }
    if (j.saved > static_cast<long>(j.done)) j.saved = SAVED_NONE;
}

void undo_journal::drop_oldest(buffer_journal &j) {
    release(j, j.actions.front());
    j.actions.pop_front();
    j.done--;
    if (j.saved >= 0) j.saved = j.saved ? j.saved - 1 : SAVED_NONE;
}

void undo_journal::drop_all(buffer_journal &j) {
    j.open = nullptr;
    j.done = 0;
    drop_redo(j);
}

// The file matches no point of the journal after this unless the buffer is
// unchanged.
void undo_journal::lose(buffer_journal &j) {
    if (j.buff == begin_buff) begin_buff = nullptr; // its line numbers are gone
    drop_all(j);
    j.saved = SAVED_UNKNOWN;
    j.frozen = true;
    touch(j);
}

// ---- Actions ------------------------------------------------------------------------

action &undo_journal::open_action(buffer_journal &j) {
    if (j.open) return *j.open;
    resolve_saved(j);
    drop_redo(j);
    action &a = j.actions.emplace_back();
    if (j.buff == begin_buff) {
        a.start = begin_cursor;
        begin_buff = nullptr;
    } else {
        a.start = cursor_of(j.buff);
    }
    j.done++;
    touch(j);
    return *(j.open = &a);
}

void undo_journal::close(buffer_journal &j) {
    action *a = j.open;
    if (!a) return;
    j.open = nullptr;
    a->end = cursor_of(j.buff);
    // An action opens as its first record comes, so it is never empty.
    while (j.actions.size() > 1 && j.done == j.actions.size() &&
           (j.actions.size() > JOURNAL_MAX_ACTIONS || j.bytes > JOURNAL_MAX_BYTES))
        drop_oldest(j);
}

void undo_journal::begin(bool typing) {
    // A typed character continues the run of the keys before it, if they
    // typed: their action stays open. Anything else closes it.
    if (!typing && any_touched) {
        key_typing = false;
        end();
    }
    key_typing = typing;
    if (!cur_buffer) return;
    // A typed character that goes on with the current buffer's open run
    // starts no action: where it began is known.
    if (typing && last_used && last_used->open && last_used->buff == cur_buffer) return;
    begin_buff = cur_buffer;
    begin_cursor = cursor_of(cur_buffer);
    // The file's point is now, if none is known and the buffer is unchanged:
    // a key that marks it changed without changing it does not hide it.
    resolve_saved(of(cur_buffer));
}

void undo_journal::end() {
    begin_buff = nullptr;
    if (key_typing || !any_touched) return; // a run stays open for the next typed character
    for (buffer_journal &j : slots) {
        if (!j.touched) continue;
        j.touched = false;
        if (!j.buff) continue; // its buffer went during the key
        close(j);
        j.frozen = false;
    }
    any_touched = false;
}

void undo_journal::saved(text_buffer *b) {
    buffer_journal &j = of(b);
    close(j); // the point is after what the key did so far
    j.saved = static_cast<long>(j.done);
}

void undo_journal::buffer_going(text_buffer *b, int event) {
    if (event == BUFF_REREAD) {
        lose(of(b)); // the text read counts as saved once its reader clears changed
        return;
    }
    if (b == begin_buff) begin_buff = nullptr;
    if (buffer_journal *j = find(b)) {
        drop_all(*j);
        j->buff = nullptr;
    }
}

} // namespace journal_detail

// ---- The interface ------------------------------------------------------------------

using journal_detail::buffer_journal;
using journal_detail::undo_journal;

namespace {

// The journal while it runs.
std::unique_ptr<undo_journal> journal;

void buffer_notice(text_buffer *b, int event) {
    journal->buffer_going(b, event);
}

} // namespace

void journal_start() {
    if (journal) return;
    journal = std::make_unique<undo_journal>();
    buff_set_notice(buffer_notice);
}

void journal_stop() {
    buff_set_notice(nullptr);
    journal.reset();
}

bool journal_running() {
    return journal != nullptr;
}

void journal_begin(bool typing) {
    if (journal) journal->begin(typing);
}

void journal_end() {
    if (journal) journal->end();
}

void journal_saved(text_buffer *b) {
    if (journal) journal->saved(b);
}

void journal_read(text_buffer *b) {
    if (buffer_journal *j = journal ? journal->find(b) : nullptr) j->frozen = false;
}

void journal_unsaved(text_buffer *b) {
    if (buffer_journal *j = journal ? journal->find(b) : nullptr)
        j->saved = journal_detail::SAVED_NONE;
}

int journal_undo(text_buffer *b, journal_cursor *was) {
    return journal ? journal->step(b, was, true) : 0;
}

int journal_redo(text_buffer *b, journal_cursor *was) {
    return journal ? journal->step(b, was, false) : 0;
}

size_t journal_done(const text_buffer *b) {
    const buffer_journal *j = journal ? journal->find(b) : nullptr;
    return j ? j->done : 0;
}

size_t journal_undone(const text_buffer *b) {
    const buffer_journal *j = journal ? journal->find(b) : nullptr;
    return j ? j->actions.size() - j->done : 0;
}
