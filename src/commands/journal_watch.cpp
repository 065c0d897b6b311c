#include "commands/journal_state.h"

#include <cstring>
#include <memory>
#include <new>

namespace journal_detail {

namespace {

tree_fold *root_of(tree_fold *f) {
    while (f->parent) f = f->parent;
    return f;
}

// The buffer whose tree holds the fold, or null. Copies and files being read
// fill folds of no buffer line by line, so the search stops after the last
// buffer.
text_buffer *buffer_of(tree_fold *f) {
    tree_fold *top = root_of(f);
    if (cur_buffer && cur_buffer->top == top) return cur_buffer;
    for (int i = 0, seen = 0; seen < n_buffs; i++) {
        if (!buffs[i]) continue;
        if (buffs[i]->top == top) return buffs[i];
        seen++;
    }
    return nullptr;
}

// The buffer that the indent or open flag of a fold or virtual fold line
// belongs to: a fold line's through the fold it holds, whose parent is the
// fold holding the line; a virtual fold line's, the current buffer's
// (commands/journal.h).
text_buffer *buffer_of_line(tree_line *l) {
    return line_kind(l) == LINE_FOLD ? buffer_of(line_fold(l)) : cur_buffer;
}

list_side place_of(tree_fold *f, tree_line *cur) {
    return {f, cur, f->cur_index, f->cur_count, {f->mark1, f->mark2}, {f->mark1, f->mark2}};
}

constexpr list_side NO_LIST{};

// The string of that kind that owner holds now.
const char *string_now(int kind, const void *owner) {
    switch (kind) {
    case LINE_TEXT: return line_text(static_cast<const tree_line *>(owner));
    case LINE_FOLD: return static_cast<const tree_fold *>(owner)->name;
    default: return static_cast<const virtual_fold *>(owner)->name;
    }
}

} // namespace

buffer_journal *undo_journal::recording(text_buffer *b) {
    if (!b) return nullptr;
    buffer_journal &j = of(b);
    if (j.frozen) return nullptr;
    resolve_saved(j); // before the command marks the buffer changed
    return &j;
}

void undo_journal::record_list(text_buffer *b, const list_change &c) {
    buffer_journal *j = recording(b);
    if (!j) return;
    try {
        action &a = open_action(*j);
        auto change = std::make_unique<list_change>(c);
        a.records.push_back({R_LIST, 0, 0, change.get(), nullptr});
        try {
            kept.ref(c.key, j);
        } catch (const std::bad_alloc &) {
            a.records.pop_back();
            throw;
        }
        change.release();
        a.text = true;
        j->bytes += cost_of(a.records.back());
    } catch (const std::bad_alloc &) {
        lose(*j);
    }
}

int undo_journal::add(buffer_journal &j, const record &r, bool text) {
    if (j.open && !j.open->records.empty()) {
        const record &last = j.open->records.back();
        if (last.kind == r.kind && last.obj == r.obj) return 0;
    }
    try {
        action &a = open_action(j);
        a.records.push_back(r);
        a.text = a.text || text;
        j.bytes += cost_of(r);
        return 1;
    } catch (const std::bad_alloc &) {
        lose(j);
        return 0;
    }
}

// ---- The watcher --------------------------------------------------------------------

void undo_journal::inserting(tree_line *l, tree_fold *f) {
    record_list(buffer_of(f), {NO_LIST, place_of(f, f->cur), l, 1, key_of(l)});
}

void undo_journal::removing(tree_fold *f) {
    record_list(buffer_of(f), {place_of(f, line_next(f->cur)), NO_LIST, f->cur, 1, key_of(f->cur)});
}

void undo_journal::moving(tree_fold *from, int n, tree_fold *to, tree_line *after) {
    text_buffer *bf = buffer_of(from), *bt = buffer_of(to);
    if (bf && bt && bf != bt) {
        // No command moves lines between buffers; if one did, neither
        // journal could take it back.
        lose(of(bf));
        lose(of(bt));
        return;
    }
    // At most one side hangs from no buffer: a holder, or a fold line being
    // made or emptied.
    const void *key = !bf ? root_of(from) : !bt ? root_of(to) : nullptr;
    record_list(bf ? bf : bt, {place_of(from, after), place_of(to, to->cur), from->cur, n, key});
}

void undo_journal::indenting(tree_line *l, int indent) {
    if (line_indent(l) == indent) return;
    if (buffer_journal *j = recording(buffer_of_line(l)))
        add(*j, {R_INDENT, line_indent(l), 0, l, nullptr}, true);
}

void undo_journal::opening(tree_line *l, int open) {
    if (line_is_open(l) == open) return;
    if (buffer_journal *j = recording(buffer_of_line(l)))
        add(*j, {R_OPEN, line_is_open(l), 0, l, nullptr}, true);
}

void undo_journal::marking(tree_fold *f, int mark1, int mark2) {
    if (f->mark1 == mark1 && f->mark2 == mark2) return;
    if (buffer_journal *j = recording(buffer_of(f)))
        add(*j, {R_MARKS, f->mark1, f->mark2, f, nullptr}, false);
}

int undo_journal::replaced(int kind, void *owner, char *old) {
    // The characters typed on a line: the open action's last record already
    // holds the line's first old string, which a few tests find.
    const buffer_journal *u = last_used;
    if (kind != LINE_FOLD && u && u->open && u->buff == cur_buffer && !u->open->records.empty()) {
        const record &last = u->open->records.back();
        if (last.kind == R_STRING && last.obj == owner) return 0;
    }
    text_buffer *b = kind == LINE_FOLD ? buffer_of(static_cast<tree_fold *>(owner)) : cur_buffer;
    buffer_journal *j = recording(b);
    if (!j || std::strcmp(old, string_now(kind, owner)) == 0) return 0;
    return add(*j, {R_STRING, kind, 0, owner, old}, true);
}

int undo_journal::deleting(tree_line *l) {
    return kept.keeps(l);
}

} // namespace journal_detail
