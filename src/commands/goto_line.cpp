#include "commands/goto_line.h"

#include "commands/cursor.h"
#include "text/fold_nav.h"

namespace {

// Straight to line t: a list that does not hold it is left at once, a fold
// is entered only when it holds it, so that no fold's contents are walked.
struct toward_line : tree_walk_rules {
    int t;
    explicit toward_line(int target) : t(target) {}
    bool outside(const tree_pos &p) const {
        int first = pos_first_line_no(&p);
        return p.fold->parent && (t < first || t >= first + p.fold->deep_count);
    }
    bool enters(const tree_pos &p) const {
        const tree_line *l = p.fold->cur;
        return line_kind(l) == LINE_FOLD && t > p.line_no && t <= p.line_no + lines_in(l);
    }
};

} // namespace

void goto_line(text_buffer *b, line_number line) {
    const int line_no = line.n;
    int last = b->top->deep_count - 1;
    int t = line_no < 0 ? 0 : line_no > last ? last : line_no;
    tree_pos p = buffer_pos(b);
    if (t == p.line_no) return;
    bool ahead = t > p.line_no;
    toward_line rules(t);
    bool more = true;
    while (more && p.line_no != t)
        more = ahead ? walk_forwards(&p, rules) : walk_backwards(&p, rules);
    set_buffer_pos(b, p);
    if (b != cur_buffer) return;
    if (ahead)
        keep_row_bottom();
    else
        keep_row_top();
}
