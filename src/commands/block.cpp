#include "commands/block.h"

#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/undelete.h"
#include "display/prompt.h"

#include <new>
#include <utility>
#include <vector>

marked_block block_of(const tree_fold *f) {
    if (f->mark1 < 0 || f->mark2 < 0 || f->mark1 > f->mark2) error_code(ERR_NO_BLOCK);
    return {f->mark1, f->mark2};
}

owned_line make_holder() {
    owned_line holder(line_create_fold("", 0, 0));
    if (!holder) error_code(ERR_OUT_OF_MEMORY);
    return holder;
}

tree_line *list_line(const tree_fold *f, int index) {
    tree_line *l = f->cur;
    for (int i = f->cur_index; i < index; i++) l = line_next(l);
    for (int i = f->cur_index; i > index; i--) l = line_prev(l);
    return l;
}

int block_unpack_marked(tree_line *holder) {
    tree_fold *f = cur_fold();
    int n = undel_unpack(holder, f);
    fold_set_marks(f, f->cur_index, f->cur_index + n);
    return n;
}

tree_line *copy_with_notice(const tree_line *l) {
    bool large = lines_in(l) > LARGE_COPY_LINES;
    if (large) prompt("copying large number of lines, please wait ...");
    tree_line *copy = line_copy_deep(l);
    if (large) prompt_blank();
    return copy;
}

owned_line copy_deep(const tree_line *l) {
    owned_line copy(copy_with_notice(l));
    if (!copy) error_code(ERR_OUT_OF_MEMORY);
    return copy;
}

tree_line *equal_copy(const tree_line *l) {
    tree_line *copy = copy_with_notice(l);
    if (!copy || line_kind(l) != LINE_FOLD) return copy;
    try {
        std::vector<std::pair<const tree_fold *, tree_fold *>> folds{
            {line_fold(l), line_fold(copy)}};
        while (!folds.empty()) {
            auto [from, to] = folds.back();
            folds.pop_back();
            to->mark1 = from->mark1;
            to->mark2 = from->mark2;
            for (const tree_line *s = from->first, *d = to->first; s != from->end;
                 s = line_next(s), d = line_next(d))
                if (line_kind(s) == LINE_FOLD) folds.emplace_back(line_fold(s), line_fold(d));
        }
    } catch (const std::bad_alloc &) {
        line_delete_deep(copy);
        return nullptr;
    }
    return copy;
}

void block_move_into(marked_block b, tree_line *holder) {
    tree_fold *f = cur_fold();
    int c = f->cur_index;
    int n = b.end - b.first;
    int after = c <= b.first ? c : c <= b.end ? b.first : c - n;
    step_to(b.first);
    tree_fold *h = line_fold(holder);
    line_step_last(h);
    line_move_run(f, n, h);
    line_step_last(h);
    step_to(after);
    if (c >= b.first && c < b.end) cursor_to_line_start();
}

int block_copy_into(marked_block b, tree_line *holder) {
    const tree_line *l = list_line(cur_fold(), b.first);
    tree_fold *h = line_fold(holder);
    line_step_last(h);
    for (int i = b.first; i < b.end; i++, l = line_next(l)) {
        tree_line *copy = copy_with_notice(l);
        if (!copy) return 0;
        line_insert(copy, h);
        line_step_next(h);
    }
    return 1;
}
