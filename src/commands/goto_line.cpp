#include "commands/goto_line.h"

#include "commands/cursor.h"
#include "text/fold_nav.h"

namespace {

void forwards(TREE_POS *p, int t) {
    while (p->fold->parent && t >= pos_first_line_no(p) + p->fold->deep_count) {
        pos_leave(p);
        pos_next(p);
    }
    while (p->line_no < t) {
        const LINE *l = p->fold->cur;
        if (line_kind(l) == LINE_FOLD && t <= p->line_no + lines_in(l))
            pos_enter(p);
        else
            pos_next(p);
    }
}

void backwards(TREE_POS *p, int t) {
    while (p->fold->parent && t < pos_first_line_no(p)) pos_leave(p);
    while (p->line_no > t) {
        pos_prev(p);
        if (line_kind(p->fold->cur) == LINE_FOLD && t > p->line_no) pos_enter_at_end(p);
    }
}

} // namespace

void goto_line(BUFF *b, int line_no) {
    int last = b->top->deep_count - 1;
    int t = line_no < 0 ? 0 : line_no > last ? last : line_no;
    TREE_POS p = buffer_pos(b);
    if (t == p.line_no) return;
    bool ahead = t > p.line_no;
    if (ahead)
        forwards(&p, t);
    else
        backwards(&p, t);
    set_buffer_pos(b, p);
    if (b != cur_buffer) return;
    if (ahead)
        keep_row_bottom();
    else
        keep_row_top();
}
