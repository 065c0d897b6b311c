#include "commands/outline_commands.h"

#include "commands/arguments.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/undelete.h"
#include "host/mdep.h"
#include "text/outline_find.h"
#include "text/owned.h"

#include <algorithm>
#include <new>

namespace {

// The absolute indent of the fold: its own and those of the folds holding it.
int absolute_indent(const tree_fold *f) {
    int indent = 0;
    for (; f; f = f->parent) indent += f->indent;
    return indent;
}

// The closed fold lines of the definitions, by their names and indents.
std::vector<owned_line> make_folds(const std::vector<outline_item> &items,
                                   const std::vector<outline_def> &defs, int base) {
    std::vector<owned_line> folds;
    std::vector<int> column(defs.size()); // where each new fold stands
    folds.reserve(defs.size());
    for (size_t k = 0; k < defs.size(); k++) {
        const outline_def &d = defs[k];
        int outer = d.parent < 0 ? base : column[d.parent];
        int indent = std::max(0, items[d.name].indent - outer);
        column[k] = outer + indent;
        folds.emplace_back(line_create_fold(outline_text(items[d.name]), indent, 0));
        if (!folds.back()) error_code(ERR_OUT_OF_MEMORY);
    }
    return folds;
}

// Folds the definitions of the current list, the last first, so that the
// lines of each stand where the scan found them: those nested in it are
// folds already, each of which left one line of its own (`shrink` counts
// the lines gone). Every line is walked
// once to each fold it moves into, however many there are.
void fold_definitions(const std::vector<outline_def> &defs, std::vector<owned_line> &folds,
                      std::vector<int> &shrink) {
    tree_fold *f = cur_fold();
    for (size_t k = defs.size(); k-- > 0;) {
        const outline_def &d = defs[k];
        int n = d.last - d.first + 1 - shrink[k];
        step_to(d.first);
        tree_line *fold = folds[k].release();
        line_move_run(f, n, line_fold(fold));
        line_insert(fold, f);
        if (d.parent >= 0) shrink[d.parent] += d.last - d.first;
        unhog();
    }
}

// Where the line at index c of the list went: its own new index, or that of
// the fold holding it (*in_fold). Each outermost definition before it left
// one line of its own.
int index_after(const std::vector<outline_def> &defs, int c, bool *in_fold) {
    int gone = 0;
    for (const outline_def &d : defs) {
        if (d.parent >= 0) continue;
        if (d.first > c) break;
        if (d.last >= c) {
            *in_fold = true;
            return d.first - gone;
        }
        gone += d.last - d.first;
    }
    return c - gone;
}

} // namespace

void cmd_f_outline() {
    int depth = arg_val[0].num;
    const outline_rule *rule = outline_rule_of(cur_buffer->lang);
    if (!rule) error_code(ERR_NO_OUTLINE_RULE);
    tree_fold *f = cur_fold();
    std::vector<outline_def> defs;
    std::vector<owned_line> folds;
    std::vector<int> shrink;
    {
        std::vector<outline_item> items;
        if (!outline_scan(*rule, f, items) ||
            !outline_find(*rule, items, depth, f == cur_buffer->top, defs))
            error_code(ERR_OUT_OF_MEMORY);
        if (defs.empty()) error_code(ERR_NOT_FOUND);
        try {
            folds = make_folds(items, defs, absolute_indent(f));
            shrink.assign(defs.size(), 0);
        } catch (const std::bad_alloc &) {
            error_code(ERR_OUT_OF_MEMORY);
        }
    }
    int cursor = f->cur_index;
    fold_set_marks(f, -1, -1);
    fold_definitions(defs, folds, shrink);
    bool in_fold = false;
    step_to(index_after(defs, cursor, &in_fold));
    if (in_fold) cursor_to_line_start();
    buffer_changed();
}

void cmd_f_flatten() {
    tree_fold *f = cur_fold();
    const tree_line *was = f->cur; // compared only until found: it may go
    bool was_fold = line_kind(was) == LINE_FOLD;
    int target = -1, flattened = 0;
    step_first();
    for (; f->cur != f->end; unhog()) {
        if (target < 0 && f->cur == was) target = f->cur_index;
        if (line_kind(f->cur) != LINE_FOLD) {
            step_next();
            continue;
        }
        if (flattened++ == 0) fold_set_marks(f, -1, -1);
        owned_line emptied(line_remove(f));
        undel_unpack(emptied.get(), f);
    }
    step_to(target < 0 ? f->cur_index : target);
    if (flattened == 0) return;
    if (was_fold) cursor_to_line_start();
    buffer_changed();
}

void cmd_lg_outline() {
    // Folds made in a file without marker lines would turn into text.
    if (arg_val[0].lang->rc_start[0] == '\0') error_code(ERR_NO_FOLD_MARKERS);
    std::unique_ptr<outline_rule> rule;
    if (*skip_space(arg_val[1].str) != '\0') {
        outline_rule_made made =
            outline_rule_make(arg_val[1].str, arg_val[2].str, arg_val[3].str, arg_val[4].str);
        switch (made.fault) {
        case RULE_MADE: break;
        case RULE_BAD_KIND: error_code(ERR_BAD_OUTLINE_KIND);
        case RULE_BAD_DELIMITER: error_code(ERR_BAD_OUTLINE_DELIMITER);
        case RULE_BAD_EXPRESSION: error_text(ere_error(made.ere_code));
        default: error_code(ERR_OUT_OF_MEMORY);
        }
        rule = std::move(made.rule);
    }
    if (!outline_rule_set(arg_val[0].lang, std::move(rule))) error_code(ERR_OUT_OF_MEMORY);
}
