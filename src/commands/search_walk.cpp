#include "commands/search_walk.h"

#include "commands/arguments.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/same_file.h"
#include "commands/search.h"
#include "commands/vfold.h"
#include "display/prompt.h"
#include "text/fold_nav.h"

FOLD *search_root_fold;
int search_root_buff_id = -1;

namespace {

void forget_root_fold(FOLD *f) {
    if (f == search_root_fold) search_root_fold = nullptr;
}

bool enters(int when, int open) {
    return when == WHEN_ALWAYS || (when == WHEN_IF_OPEN && open);
}

bool enters_line(const LINE *l) {
    switch (line_kind(l)) {
    case LINE_FOLD: return enters(last_search.when_folds, line_fold(l)->open);
    case LINE_VIRT: return enters(last_search.when_vfolds, line_virt(l)->open);
    default: return false;
    }
}

// The buffers met following parent ids, to stop where they come round: a
// buffer adopted by fold_in may be the parent of its own ancestor.
struct buffer_chain {
    const BUFF *passed[MAX_BUFFS];
    int n = 0;

    // The parent of b, or null when the chain ends there.
    const BUFF *parent_of(const BUFF *b) {
        if (n < MAX_BUFFS) passed[n++] = b;
        if (b->parent == -1) return nullptr;
        const BUFF *p = lookup_buff_id(b->parent);
        for (int i = 0; p && i < n; i++)
            if (passed[i] == p) return nullptr;
        return p;
    }
};

// Into the file of the virtual fold line v, unless that file is open in this
// buffer or one it was entered from (which would go on without end): read
// into a new child buffer, or, when the user takes another buffer that holds
// it already, searched there from its first line, so that the file has one
// copy in memory.
void enter_virtual(const LINE *v) {
    char fn[LINE_BUF_SIZE];
    vfold_file(v, fn);
    if (file_in_chain(cur_buffer, fn)) error_file(ERR_RECURSION, fn);
    if (vfold_enter(v)) {
        while (cur_fold()->parent) fold_leave(cur_buffer);
        step_first();
        cursor_to_line_start();
    }
    prompt("searching ...");
}

// At the end of the root fold, or of a fold the search does not leave.
bool leaves_fold(const FOLD *f) {
    return f->parent && last_search.when_folds != WHEN_NEVER && f != search_root_fold;
}

// At the top of a child buffer the search entered.
bool leaves_buffer(const BUFF *b) {
    return !b->fold->parent && last_search.when_vfolds != WHEN_NEVER &&
           b->id != search_root_buff_id && buff_is_ancestor(b, search_root_buff_id);
}

// Back to the parent buffer, writing the child back if the search changed it.
void leave_buffer() {
    vfold_close(1);
    prompt("searching ...");
}

} // namespace

void search_set_scope() {
    search_root_fold = cur_fold();
    search_root_buff_id = cur_buffer->id;
    fold_set_free_notice(forget_root_fold);
}

int in_search_scope() {
    const BUFF *b = cur_buffer;
    buffer_chain chain;
    while (b->id != search_root_buff_id) {
        if (last_search.when_vfolds == WHEN_NEVER) return 0;
        b = chain.parent_of(b);
        if (!b) return 0;
    }
    for (const FOLD *f = b->fold; f != search_root_fold; f = f->parent)
        if (last_search.when_folds == WHEN_NEVER || !f->parent) return 0;
    return 1;
}

int search_step_fwd() {
    BUFF *b = cur_buffer;
    FOLD *f = b->fold;
    LINE *l = f->cur;
    if (l != f->end) {
        if (!enters_line(l))
            step_next();
        else if (line_kind(l) == LINE_FOLD)
            fold_enter(b);
        else
            enter_virtual(l);
        return 0;
    }
    if (leaves_fold(f)) {
        fold_leave(b);
        step_next();
        return 0;
    }
    if (leaves_buffer(b)) {
        leave_buffer();
        if (line_kind(cur_line()) == LINE_VIRT) step_next();
        return 0;
    }
    cursor_to_line_end();
    keep_row_bottom();
    matched();
    return 1;
}

int search_step_bwd() {
    BUFF *b = cur_buffer;
    FOLD *f = b->fold;
    if (f->cur != f->first) {
        step_prev();
        LINE *l = f->cur;
        if (enters_line(l)) {
            if (line_kind(l) == LINE_FOLD)
                fold_enter(b);
            else
                enter_virtual(l);
            step_last();
        }
        return 0;
    }
    if (leaves_fold(f)) {
        fold_leave(b);
        return 0;
    }
    if (leaves_buffer(b)) {
        leave_buffer();
        return 0;
    }
    cursor_to_line_start();
    keep_row_top();
    matched();
    return 1;
}

int buff_is_ancestor(const BUFF *b, int id) {
    buffer_chain chain;
    for (; b; b = chain.parent_of(b))
        if (b->parent == id && id != -1) return 1;
    return 0;
}

int file_in_chain(const BUFF *b, const char *fn) {
    buffer_chain chain;
    for (; b; b = chain.parent_of(b))
        if (same_file(fn, b->fn)) return 1;
    return 0;
}
