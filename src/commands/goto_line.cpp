#include "commands/goto_line.h"

#include "commands/cursor.h"

namespace {

// The number of the first line of f's list, given the number c of its
// current line.
int first_number(const FOLD *f, int c) {
    return c - f->cur_count;
}

// Enters the fold of the current line of *f, whose number is *c, at its first
// line.
void enter_at_start(FOLD **f, int *c) {
    FOLD *g = line_fold((*f)->cur);
    line_step_first(g);
    line_set_changed(g->end);
    *c += 1;
    *f = g;
}

// Leaves *f for its parent, whose current line is the fold line of *f; *c
// becomes the fold line's number.
void leave_to_fold_line(FOLD **f, int *c) {
    *c += line_step_first(*f) - 1;
    line_set_changed((*f)->end);
    *f = (*f)->parent;
}

void forwards(FOLD **f, int *c, int t) {
    while ((*f)->parent && t >= first_number(*f, *c) + (*f)->deep_count) {
        leave_to_fold_line(f, c);
        *c += line_step_next(*f);
    }
    while (*c < t) {
        LINE *l = (*f)->cur;
        if (line_kind(l) == LINE_FOLD && t <= *c + lines_in(l))
            enter_at_start(f, c);
        else
            *c += line_step_next(*f);
    }
}

void backwards(FOLD **f, int *c, int t) {
    while ((*f)->parent && t < first_number(*f, *c)) leave_to_fold_line(f, c);
    while (*c > t) {
        *c += line_step_prev(*f);
        if (line_kind((*f)->cur) == LINE_FOLD && t > *c) {
            enter_at_start(f, c);
            *c += line_step_last(*f);
        }
    }
}

} // namespace

void goto_line(BUFF *b, int line_no) {
    int last = b->top->deep_count - 1;
    int t = line_no < 0 ? 0 : line_no > last ? last : line_no;
    FOLD *f = b->fold;
    int c = b->line_no;
    if (t == c) return;
    bool ahead = t > c;
    if (ahead)
        forwards(&f, &c, t);
    else
        backwards(&f, &c, t);
    b->fold = f;
    b->line_no = c;
    if (b != cur_buffer) return;
    if (ahead)
        keep_row_bottom();
    else
        keep_row_top();
}
