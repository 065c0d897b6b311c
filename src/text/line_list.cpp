#include "text/line.h"

#include "text/span_state.h"

namespace {

// Makes l the line after prev in the list of f (its first line when prev is
// null), and the current line.
void put_after(tree_fold *f, tree_line *prev, tree_line *l) {
    line_set_prev_(l, prev);
    if (prev) {
        line_set_next_(prev, l);
    } else {
        f->first = l;
    }
    f->cur = l;
}

// The list of f gains n entries, and it and every fold holding it deep lines
// (both negative for a loss).
void add_counts(tree_fold *f, int n, int deep) {
    f->line_count += n;
    for (tree_fold *p = f; p; p = p->parent) p->deep_count += deep;
}

// Links the run from first to last (n lines, deep lines in all) into the
// list of f before its current line; first becomes the current line. An unset
// mark is -1 and the index is never negative, so only set marks move.
void link_run(tree_fold *f, tree_line *first, tree_line *last, int n, int deep) {
    tree_line *cur = f->cur;
    put_after(f, line_prev(cur), first);
    line_set_next_(last, cur);
    line_set_prev_(cur, last);
    if (f->mark1 >= f->cur_index) f->mark1 += n;
    if (f->mark2 >= f->cur_index) f->mark2 += n;
    add_counts(f, n, deep);
}

// Where a mark at m of the list lands when the n lines from index c on leave.
int mark_after_removing(int m, int c, int n) {
    if (m <= c) return m;
    return m - n > c ? m - n : c;
}

// Unlinks the run from the current line of f to last (n lines, deep lines in
// all); the line after it becomes the current line.
void unlink_run(tree_fold *f, tree_line *last, int n, int deep) {
    put_after(f, line_prev(f->cur), line_next(last));
    f->mark1 = mark_after_removing(f->mark1, f->cur_index, n);
    f->mark2 = mark_after_removing(f->mark2, f->cur_index, n);
    add_counts(f, -n, -deep);
}

} // namespace

void line_insert(tree_line *l, tree_fold *f) {
    if (line_watcher_) line_watcher_->inserting(l, f);
    int state = span_state_for_change(f->cur);
    span_forget_line(l);
    link_run(f, l, l, 1, lines_in(l) + 1);
    if (line_kind(l) == LINE_FOLD) line_fold(l)->parent = f;
    span_placed(f, l, l, state);
}

tree_line *line_remove(tree_fold *f) {
    tree_line *l = f->cur;
    assert(l != f->end);
    if (line_watcher_) line_watcher_->removing(f);
    int state = span_state_for_change(l);
    unlink_run(f, l, 1, lines_in(l) + 1);
    line_set_next_(l, nullptr);
    line_set_prev_(l, nullptr);
    if (line_kind(l) == LINE_FOLD) line_fold(l)->parent = nullptr;
    span_followed(f, f->cur, state);
    return l;
}

void line_move_run(tree_fold *from, int n, tree_fold *to) {
    if (n <= 0) return;
    tree_line *first = from->cur;
    tree_line *last = first;
    int from_state = span_state_for_change(first);
    int to_state = span_state_for_change(to->cur);
    int deep = 0;
    for (int i = 0;; i++) {
        assert(last != from->end);
        deep += lines_in(last) + 1;
        span_forget_line(last);
        if (line_kind(last) == LINE_FOLD) line_fold(last)->parent = to;
        if (i == n - 1) break;
        last = line_next(last);
    }
    if (line_watcher_) line_watcher_->moving(from, n, to, line_next(last));
    unlink_run(from, last, n, deep);
    tree_line *after = from->cur;
    link_run(to, first, last, n, deep);
    span_followed(from, after, from_state);
    span_placed(to, first, last, to_state);
}

void fold_set_marks(tree_fold *f, int mark1, int mark2) {
    if (line_watcher_) line_watcher_->marking(f, mark1, mark2);
    f->mark1 = mark1;
    f->mark2 = mark2;
}

void line_set_current(tree_fold *f, tree_line *l, int index, int count) {
    f->cur = l;
    f->cur_index = index;
    f->cur_count = count;
}

int line_step_next(tree_fold *f) {
    assert(f->cur != f->end);
    int n = lines_in(f->cur) + 1;
    f->cur = line_next(f->cur);
    f->cur_index++;
    f->cur_count += n;
    return n;
}

int line_step_prev(tree_fold *f) {
    tree_line *p = line_prev(f->cur);
    assert(p);
    int n = lines_in(p) + 1;
    f->cur = p;
    f->cur_index--;
    f->cur_count -= n;
    return -n;
}

int line_step_first(tree_fold *f) {
    int moved = -f->cur_count;
    f->cur = f->first;
    f->cur_index = 0;
    f->cur_count = 0;
    return moved;
}

int line_step_last(tree_fold *f) {
    int moved = f->deep_count - 1 - f->cur_count;
    f->cur = f->end;
    f->cur_index = f->line_count - 1;
    f->cur_count = f->deep_count - 1;
    return moved;
}

int line_step_to(tree_fold *f, int index) {
    int moved = 0;
    while (f->cur_index < index) moved += line_step_next(f);
    while (f->cur_index > index) moved += line_step_prev(f);
    return moved;
}
