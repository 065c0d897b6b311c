#include "commands/cursor.h"

#include "display/screen.h"
#include "display/terminal.h"

tree_fold *cur_fold() {
    return cur_buffer->fold;
}

tree_line *cur_line() {
    return cur_buffer->fold->cur;
}

void set_into(int into) {
    tree_fold *f = cur_fold();
    f->into = into;
    f->col = cur_csr_col();
}

void cursor_to_line_start() {
    set_into(0);
}

void cursor_to_line_end() {
    tree_fold *f = cur_fold();
    f->into = max_into_value();
    f->col = -1;
}

void into_from_col() {
    tree_fold *f = cur_fold();
    f->into = new_into_value(f->col);
}

void step_next() {
    cur_buffer->line_no += line_step_next(cur_fold());
}

void step_prev() {
    cur_buffer->line_no += line_step_prev(cur_fold());
}

void step_first() {
    cur_buffer->line_no += line_step_first(cur_fold());
}

void step_last() {
    cur_buffer->line_no += line_step_last(cur_fold());
}

void step_to(int index) {
    cur_buffer->line_no += line_step_to(cur_fold(), index);
}

void keep_row_top() {
    int shown = locate_line(cur_line());
    cur_fold()->row = shown >= CURSOR_ROW_TOP ? shown : CURSOR_ROW_TOP;
}

void keep_row_bottom() {
    int shown = locate_line(cur_line());
    int bottom = cursor_row_bottom();
    cur_fold()->row = shown >= 0 && shown <= bottom ? shown : bottom;
}

void row_up() {
    tree_fold *f = cur_fold();
    if (f->row > CURSOR_ROW_TOP) --f->row;
}

void row_down() {
    tree_fold *f = cur_fold();
    if (f->row < cursor_row_bottom()) ++f->row;
}

void line_changed(tree_line *l) {
    line_set_changed(l);
    cur_buffer->changed = 1;
}

void buffer_changed() {
    cur_buffer->changed = 1;
}
