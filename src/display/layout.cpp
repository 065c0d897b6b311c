#include "display/layout.h"

#include <vector>

#include "display/into.h"
#include "display/rows.h"

namespace {

// Row indents are held within this of 0 whatever the indents of the folds.
constexpr long long INDENT_LIMIT = 1 << 28;

struct walk {
    layout_row *rows;
    const tree_fold *f;
    std::vector<const tree_line *> open_folds; // fold lines entered, innermost last
    long long sum = 0;                         // indent sum of the folds entered
    int no;                                    // index in f's list of the outermost line

    explicit walk(layout_row *r, const tree_fold *fold, int start_no)
        : rows(r), f(fold), no(start_no) {}

    bool marked() const {
        return f->mark1 >= 0 && f->mark2 >= 0 && no >= f->mark1 && no < f->mark2;
    }

    void place(int row, const tree_line *l, long long indent) {
        if (indent > INDENT_LIMIT) indent = INDENT_LIMIT;
        if (indent < -INDENT_LIMIT) indent = -INDENT_LIMIT;
        rows[row] = {const_cast<tree_line *>(l), static_cast<int>(indent), marked() ? 1 : 0,
                     line_is_tagged(l) ? 1 : 0, 0};
    }

    // A fold or virtual fold line's own indent.
    static int own_indent(const tree_line *l) { return indent_of(l) - 4; }

    static bool is_open_fold(const tree_line *l) {
        return line_kind(l) == LINE_FOLD && line_fold(l)->open;
    }
};

} // namespace

void layout_rows(layout_row *rows, int n_rows, const tree_fold *f, int cursor_row) {
    for (int i = FIRST_TEXT_ROW; i < n_rows; i++) rows[i] = {nullptr, 0, 0, 0, 0};
    if (cursor_row < FIRST_TEXT_ROW || cursor_row >= n_rows) return;

    walk down(rows, f, f->cur_index);
    int row = cursor_row;
    for (const tree_line *l = f->cur; row < n_rows;) {
        if (line_kind(l) == LINE_END) {
            if (down.open_folds.empty()) break;
            down.place(row++, l, down.sum);
            const tree_line *holder = down.open_folds.back();
            down.open_folds.pop_back();
            down.sum -= walk::own_indent(holder);
            l = line_next(holder);
            if (down.open_folds.empty()) down.no++;
            continue;
        }
        if (line_kind(l) == LINE_TEXT) {
            down.place(row++, l, down.sum);
        } else {
            down.place(row++, l, down.sum + walk::own_indent(l));
            if (walk::is_open_fold(l)) {
                down.open_folds.push_back(l);
                down.sum += walk::own_indent(l);
                l = line_fold(l)->first;
                continue;
            }
        }
        l = line_next(l);
        if (down.open_folds.empty()) down.no++;
    }
    if (row < n_rows) rows[row] = {f->end, 0, 0, line_is_tagged(f->end) ? 1 : 0, 0};

    walk up(rows, f, f->cur_index - 1);
    row = cursor_row - 1;
    for (const tree_line *l = line_prev(f->cur); row >= FIRST_TEXT_ROW;) {
        if (l == nullptr) {
            if (up.open_folds.empty()) break;
            const tree_line *holder = up.open_folds.back();
            up.open_folds.pop_back();
            up.place(row--, holder, up.sum);
            up.sum -= walk::own_indent(holder);
            l = line_prev(holder);
            if (up.open_folds.empty()) up.no--;
            continue;
        }
        if (walk::is_open_fold(l)) {
            up.open_folds.push_back(l);
            up.sum += walk::own_indent(l);
            up.place(row--, line_fold(l)->end, up.sum);
            l = line_prev(line_fold(l)->end);
            continue;
        }
        up.place(row--, l, line_kind(l) == LINE_TEXT ? up.sum : up.sum + walk::own_indent(l));
        l = line_prev(l);
        if (up.open_folds.empty()) up.no--;
    }
}
