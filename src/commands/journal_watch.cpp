#include "commands/journal_parts.h"

#include "text/scan.h"

#include <cstring>
#include <memory>
#include <new>

namespace journal_parts {

namespace {

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

// Records the old string of a change of one string, unless it is the same.
[[gnu::noinline]] int record_string(int kind, void *owner, char *old) {
    JOURNAL *j = recording(kind == LINE_FOLD ? buffer_of(static_cast<FOLD *>(owner)) : cur_buffer);
    if (!j) return 0;
    // A run of changes to one string keeps only the first old string.
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

// The string of a line of the current buffer changes again within the open
// action whose last record already holds its first old string: the
// characters typed on a line above all, which so cost a few tests. Nothing
// is lent, so nothing needs settling first.
inline bool continues_run(int kind, const void *owner) {
    const JOURNAL *j = last_used;
    if (!j || !j->open || j->buff != cur_buffer || !lent.empty()) return false;
    const std::vector<RECORD> &records = j->open->records;
    if (records.empty()) return false;
    const RECORD &last = records.back();
    return last.kind == R_STRING && last.obj == owner && last.a == kind && kind != LINE_FOLD;
}

int replaced(int kind, void *owner, char *old) {
    if (!running || replaying) return 0;
    if (continues_run(kind, owner)) return 0;
    return record_string(kind, owner, old);
}

} // namespace

const TREE_WATCHER watcher = {inserting, removing, moving,   indenting,
                              opening,   marking,  replaced, deleting};

} // namespace journal_parts
