#include "commands/undelete.h"

#include "commands/errors.h"
#include "text/scan.h"

#include <cassert>

namespace {

UNDEL_ENTRY entries[UNDEL_MAX];
int n_entries;

void release(UNDEL_ENTRY &e) {
    switch (e.kind) {
    case UNDEL_LINE:
    case UNDEL_BLOCK: line_delete_deep(e.item.line); break;
    case UNDEL_STRING: str_free(e.item.str); break;
    default: break;
    }
}

void push(const UNDEL_ENTRY &e) {
    if (n_entries == UNDEL_MAX) {
        release(entries[0]);
        for (int i = 1; i < UNDEL_MAX; i++) entries[i - 1] = entries[i];
        n_entries--;
    }
    entries[n_entries++] = e;
}

UNDEL_ENTRY line_entry(int kind, LINE *l) {
    UNDEL_ENTRY e{};
    e.kind = kind;
    e.item.line = l;
    return e;
}

UNDEL_ENTRY char_entry(int kind, unsigned char c) {
    UNDEL_ENTRY e{};
    e.kind = kind;
    e.item.chr = c;
    return e;
}

} // namespace

void undel_push_line(LINE *l) {
    push(line_entry(UNDEL_LINE, l));
}

void undel_push_block(LINE *holder) {
    push(line_entry(UNDEL_BLOCK, holder));
}

void undel_push_char_left(unsigned char c) {
    push(char_entry(UNDEL_CHAR_LEFT, c));
}

void undel_push_char_right(unsigned char c) {
    push(char_entry(UNDEL_CHAR_RIGHT, c));
}

void undel_push_string(const char *text) {
    UNDEL_ENTRY e{};
    e.kind = UNDEL_STRING;
    e.item.str = strsave(text);
    if (!e.item.str) error_code(ERR_OUT_OF_MEMORY);
    push(e);
}

int undel_unpack(LINE *holder, FOLD *f) {
    FOLD *h = line_fold(holder);
    int moved = 0;
    while (h->first != h->end) {
        line_step_last(h);
        line_step_prev(h);
        line_insert(line_remove(h), f);
        moved++;
    }
    return moved;
}

int undel_count() {
    return n_entries;
}

const UNDEL_ENTRY &undel_entry(int i) {
    assert(i >= 0 && i < n_entries);
    return entries[i];
}

int undel_top_kind() {
    return n_entries ? entries[n_entries - 1].kind : -1;
}

void undel_release_all() {
    for (int i = 0; i < n_entries; i++) release(entries[i]);
    n_entries = 0;
}
