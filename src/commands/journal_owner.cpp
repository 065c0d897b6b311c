#include "commands/journal_parts.h"

#include "commands/block.h"
#include "commands/errors.h"
#include "commands/undelete.h"

#include <cassert>
#include <new>
#include <utility>

namespace journal_parts {

std::unordered_map<const void *, ROOT> roots;
std::vector<LENT> lent;
bool quiet;

namespace {

// What the journal counts for a line it owns: records and strings roughly.
constexpr size_t LINE_COST = sizeof(LINE) + 24;

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

} // namespace

// ---- Roots --------------------------------------------------------------------------

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

int deleting(LINE *l) {
    if (!running) return 0;
    auto it = roots.find(key_of(l));
    if (it == roots.end()) return 0;
    own(it->second, l);
    return 1;
}

// ---- Lent entries and copies --------------------------------------------------------

LINE *equal_copy(const LINE *l) {
    LINE *copy = copy_with_notice(l);
    if (copy) copy_marks(l, copy);
    return copy;
}

// Everything after an entry that goes stays as it was, as when the stack
// drops its oldest.
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

void settle_or_raise(const void *op) {
    quiet_guard guard;
    struct COPY {
        LINE *item;
        owned_line copy;
    };
    std::vector<COPY> copies;
    for (const LENT &l : lent) {
        if (op && l.op == op) continue;
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

} // namespace journal_parts
