#include "text/fold_nav.h"

void pos_next(tree_pos *p) {
    p->line_no += line_step_next(p->fold);
}

void pos_prev(tree_pos *p) {
    p->line_no += line_step_prev(p->fold);
}

void pos_first(tree_pos *p) {
    p->line_no += line_step_first(p->fold);
}

void pos_last(tree_pos *p) {
    p->line_no += line_step_last(p->fold);
}

void pos_to(tree_pos *p, int index) {
    p->line_no += line_step_to(p->fold, index);
}

void pos_enter(tree_pos *p) {
    tree_fold *g = line_fold(p->fold->cur);
    line_step_first(g);
    line_set_changed(g->end);
    p->fold = g;
    p->line_no += 1;
}

void pos_enter_at_end(tree_pos *p) {
    pos_enter(p);
    pos_last(p);
}

void pos_leave(tree_pos *p) {
    tree_fold *f = p->fold;
    p->line_no += line_step_first(f) - 1;
    line_set_changed(f->end);
    p->fold = f->parent;
}

void fold_enter(text_buffer *b) {
    tree_pos p = buffer_pos(b);
    pos_enter(&p);
    set_buffer_pos(b, p);
    p.fold->into = 0;
    p.fold->col = 0;
}

void fold_leave(text_buffer *b) {
    tree_pos p = buffer_pos(b);
    pos_leave(&p);
    set_buffer_pos(b, p);
}
