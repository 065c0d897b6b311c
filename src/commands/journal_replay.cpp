#include "commands/journal_state.h"

#include "commands/block.h"
#include "commands/errors.h"
#include "commands/undelete.h"
#include "text/owned.h"

#include <array>
#include <cstring>
#include <span>

namespace journal_detail {

namespace {

// Every fold above f goes to its first line, so that changing f's list keeps
// their current line counts right (their current lines are not after it).
void first_lines_above(tree_fold *f) {
    for (tree_fold *p = f->parent; p; p = p->parent)
        if (p->cur_index) line_step_first(p);
}

void set_marks(list_side &s, const int m[2]) {
    fold_set_marks(s.fold, m[0], m[1]);
}

bool text_between(const buffer_journal &j, size_t from, size_t to) {
    for (size_t i = from; i < to; i++)
        if (j.actions[i].text) return true;
    return false;
}

int changed_flag(const buffer_journal &j) {
    if (j.saved < 0) return 1;
    size_t saved = static_cast<size_t>(j.saved);
    return saved < j.done ? text_between(j, saved, j.done) : text_between(j, j.done, saved);
}

// The tree changes without being recorded while it lives.
struct unwatched {
    tree_watcher *watcher;
    explicit unwatched(tree_watcher *w) : watcher(w) { line_set_watcher(nullptr); }
    ~unwatched() { line_set_watcher(watcher); }
    unwatched(const unwatched &) = delete;
    unwatched &operator=(const unwatched &) = delete;
};

} // namespace

// The undelete stack never changes under an undo or redo: an entry holding a
// line or holder that the action moves gets an equal copy in its place, and
// the journal keeps the line itself. All copies come first, so that "out of
// memory" changes nothing.
void undo_journal::leave_stack_copies(const action &a) {
    struct held {
        int entry;
        const void *key;
        owned_line copy;
    };
    std::array<held, UNDEL_MAX> on_stack; // no allocation that could throw
    size_t n = 0;
    for (int i = 0; i < undel_count(); i++) {
        const undelete_entry &e = undel_entry(i);
        if (e.kind == UNDEL_LINE || e.kind == UNDEL_BLOCK)
            on_stack[n++] = {i, key_of(e.item.line), nullptr};
    }
    for (const record &r : a.records) {
        if (!n) break;
        if (r.kind != R_LIST) continue;
        const void *key = static_cast<const list_change *>(r.obj)->key;
        for (held &h : std::span(on_stack.data(), n)) {
            if (h.key != key || h.copy) continue;
            h.copy.reset(equal_copy(undel_entry(h.entry).item.line));
            if (!h.copy) error_code(ERR_OUT_OF_MEMORY);
        }
    }
    for (held &h : std::span(on_stack.data(), n)) {
        if (h.copy) kept.keep(h.key, undel_swap_line(h.entry, h.copy.release()));
    }
}

// The run goes from one side to the other: back when undone. A line that
// leaves every list is the journal's until it goes back.
void undo_journal::put_back_list(list_change &c, bool undo) {
    list_side &src = undo ? c.to : c.from;
    list_side &dst = undo ? c.from : c.to;
    for (list_side *s : {&src, &dst}) {
        if (!s->fold) continue;
        first_lines_above(s->fold);
        if (!undo) continue;
        s->after[0] = s->fold->mark1; // as the change left them
        s->after[1] = s->fold->mark2;
    }
    if (src.fold) line_set_current(src.fold, c.first, src.index, src.count);
    if (dst.fold) line_set_current(dst.fold, dst.cur, dst.index, dst.count);
    if (!src.fold) {
        kept.let_go(c.key);
        line_insert(c.first, dst.fold);
    } else if (!dst.fold) {
        line_remove(src.fold);
        kept.keep(c.key, c.first);
    } else {
        line_move_run(src.fold, c.n, dst.fold);
    }
    for (list_side *s : {&src, &dst})
        if (s->fold) set_marks(*s, undo ? s->before : s->after);
}

// Undoing and redoing a value change are the same swap.
void undo_journal::put_back(buffer_journal &j, record &r, bool undo) {
    switch (r.kind) {
    case R_LIST: put_back_list(*static_cast<list_change *>(r.obj), undo); break;
    case R_STRING: {
        size_t had = std::strlen(r.str);
        r.str = string_exchange(r.a, r.obj, r.str);
        j.bytes = j.bytes - had + std::strlen(r.str);
        break;
    }
    case R_INDENT: {
        auto *l = static_cast<tree_line *>(r.obj);
        int now = line_indent(l);
        line_set_indent(l, r.a);
        r.a = now;
        break;
    }
    case R_OPEN: {
        auto *l = static_cast<tree_line *>(r.obj);
        int now = line_is_open(l);
        line_set_open(l, r.a);
        r.a = now;
        break;
    }
    case R_MARKS: {
        auto *f = static_cast<tree_fold *>(r.obj);
        int m1 = f->mark1, m2 = f->mark2;
        fold_set_marks(f, r.a, r.b);
        r.a = m1;
        r.b = m2;
        break;
    }
    }
}

int undo_journal::step(text_buffer *b, journal_cursor *was, bool undo) {
    buffer_journal &j = of(b);
    close(j);         // what this key did so far is an action of its own
    resolve_saved(j); // the file's point is now, if none is known and nothing changed
    if (undo ? j.done == 0 : j.done == j.actions.size()) return 0;
    action &a = j.actions[undo ? j.done - 1 : j.done];
    leave_stack_copies(a);
    {
        unwatched guard(this);
        if (undo) {
            for (size_t i = a.records.size(); i-- > 0;) put_back(j, a.records[i], true);
        } else {
            for (record &r : a.records) put_back(j, r, false);
        }
    }
    j.done += undo ? -1 : 1;
    line_step_first(b->top);
    b->fold = b->top;
    b->line_no = 0;
    b->changed = changed_flag(j);
    *was = undo ? a.start : a.end;
    return 1;
}

} // namespace journal_detail
