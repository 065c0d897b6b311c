#include "text/line.h"

void line_insert(LINE *l, FOLD *f) {
    LINE *cur = f->cur;
    l->next = cur;
    l->prev = cur->prev;
    if (cur->prev) {
        cur->prev->next = l;
    } else {
        f->first = l;
    }
    cur->prev = l;
    f->cur = l;
    // An unset mark is -1 and the index is never negative, so only set marks
    // move.
    if (f->mark1 >= f->cur_index) f->mark1++;
    if (f->mark2 >= f->cur_index) f->mark2++;
    f->line_count++;
    int n = lines_in(l) + 1;
    for (FOLD *p = f; p; p = p->parent) p->deep_count += n;
    if (line_kind(l) == LINE_FOLD) line_fold(l)->parent = f;
}

LINE *line_remove(FOLD *f) {
    LINE *l = f->cur;
    assert(l != f->end);
    LINE *next = l->next;
    next->prev = l->prev;
    if (l->prev) {
        l->prev->next = next;
    } else {
        f->first = next;
    }
    l->next = nullptr;
    l->prev = nullptr;
    f->cur = next;
    if (f->mark1 > f->cur_index) f->mark1--;
    if (f->mark2 > f->cur_index) f->mark2--;
    f->line_count--;
    int n = lines_in(l) + 1;
    for (FOLD *p = f; p; p = p->parent) p->deep_count -= n;
    if (line_kind(l) == LINE_FOLD) line_fold(l)->parent = nullptr;
    return l;
}

int line_step_next(FOLD *f) {
    assert(f->cur != f->end);
    int n = lines_in(f->cur) + 1;
    f->cur = f->cur->next;
    f->cur_index++;
    f->cur_count += n;
    return n;
}

int line_step_prev(FOLD *f) {
    LINE *p = f->cur->prev;
    assert(p);
    int n = lines_in(p) + 1;
    f->cur = p;
    f->cur_index--;
    f->cur_count -= n;
    return -n;
}

int line_step_first(FOLD *f) {
    int moved = -f->cur_count;
    f->cur = f->first;
    f->cur_index = 0;
    f->cur_count = 0;
    return moved;
}

int line_step_last(FOLD *f) {
    int moved = f->deep_count - 1 - f->cur_count;
    f->cur = f->end;
    f->cur_index = f->line_count - 1;
    f->cur_count = f->deep_count - 1;
    return moved;
}

int line_step_to(FOLD *f, int index) {
    int moved = 0;
    while (f->cur_index < index) moved += line_step_next(f);
    while (f->cur_index > index) moved += line_step_prev(f);
    return moved;
}
