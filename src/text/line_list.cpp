#include "text/line.h"

#include "text/span_state.h"

void line_insert(LINE *l, FOLD *f) {
    if (line_watcher_) line_watcher_->inserting(l, f);
    LINE *cur = f->cur;
    int state = span_state_for_change(cur);
    span_forget_line(l);
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
    span_placed(f, l, l, state);
}

LINE *line_remove(FOLD *f) {
    LINE *l = f->cur;
    assert(l != f->end);
    if (line_watcher_) line_watcher_->removing(f);
    int state = span_state_for_change(l);
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
    span_followed(f, next, state);
    return l;
}

namespace {

// Where a mark at m of the list lands when the n lines from index c on leave.
int mark_after_removing(int m, int c, int n) {
    if (m <= c) return m;
    return m - n > c ? m - n : c;
}

} // namespace

void line_move_run(FOLD *from, int n, FOLD *to) {
    if (n <= 0) return;
    LINE *first = from->cur;
    LINE *last = first;
    int from_state = span_state_for_change(first);
    int to_state = span_state_for_change(to->cur);
    int deep = 0;
    for (int i = 0;; i++) {
        assert(last != from->end);
        deep += lines_in(last) + 1;
        span_forget_line(last);
        if (line_kind(last) == LINE_FOLD) line_fold(last)->parent = to;
        if (i == n - 1) break;
        last = last->next;
    }

    LINE *after = last->next;
    if (line_watcher_) line_watcher_->moving(from, n, to, after);
    after->prev = first->prev;
    if (first->prev) {
        first->prev->next = after;
    } else {
        from->first = after;
    }
    from->cur = after;
    from->mark1 = mark_after_removing(from->mark1, from->cur_index, n);
    from->mark2 = mark_after_removing(from->mark2, from->cur_index, n);
    from->line_count -= n;
    for (FOLD *p = from; p; p = p->parent) p->deep_count -= deep;

    LINE *cur = to->cur;
    first->prev = cur->prev;
    if (cur->prev) {
        cur->prev->next = first;
    } else {
        to->first = first;
    }
    last->next = cur;
    cur->prev = last;
    to->cur = first;
    if (to->mark1 >= to->cur_index) to->mark1 += n;
    if (to->mark2 >= to->cur_index) to->mark2 += n;
    to->line_count += n;
    for (FOLD *p = to; p; p = p->parent) p->deep_count += deep;
    span_followed(from, after, from_state);
    span_placed(to, first, last, to_state);
}

void fold_set_marks(FOLD *f, int mark1, int mark2) {
    if (line_watcher_) line_watcher_->marking(f, mark1, mark2);
    f->mark1 = mark1;
    f->mark2 = mark2;
}

void line_set_current(FOLD *f, LINE *l, int index, int count) {
    f->cur = l;
    f->cur_index = index;
    f->cur_count = count;
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
