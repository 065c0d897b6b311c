#include "commands/journal_parts.h"

#include "commands/errors.h"
#include "commands/undelete.h"
#include "text/owned.h"

#include <cassert>
#include <cstring>
#include <utility>

namespace journal_parts {

namespace {

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
    settle_or_raise(!undo && first ? first->obj : nullptr);
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

} // namespace

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

} // namespace journal_parts
