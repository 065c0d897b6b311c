#include "commands/search_walk.h"

#include "commands/arguments.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/same_file.h"
#include "commands/search.h"
#include "commands/vfold.h"
#include "display/prompt.h"
#include "text/fold_nav.h"

namespace {

void forget_root_fold(tree_fold *f) {
    search_scope &scope = last_search.scope;
    if (f == scope.root_fold) scope.root_fold = nullptr;
}

bool enters(int when, int open) {
    return when == WHEN_ALWAYS || (when == WHEN_IF_OPEN && open);
}

bool enters_line(const tree_line *l) {
    switch (line_kind(l)) {
    case LINE_FOLD: return enters(last_search.when_folds, line_fold(l)->open);
    case LINE_VIRT: return enters(last_search.when_vfolds, line_virt(l)->open);
    default: return false;
    }
}

// The buffers met following parent ids, to stop where they come round: a
// buffer adopted by fold_in may be the parent of its own ancestor.
struct buffer_chain {
    const text_buffer *passed[MAX_BUFFS];
    int n = 0;

    // The parent of b, or null when the chain ends there.
    const text_buffer *parent_of(const text_buffer *b) {
        if (n < MAX_BUFFS) passed[n++] = b;
        if (b->parent == -1) return nullptr;
        const text_buffer *p = lookup_buff_id(b->parent);
        for (int i = 0; p && i < n; i++)
            if (passed[i] == p) return nullptr;
        return p;
    }
};

// At the top of a child buffer the search entered.
bool leaves_buffer(const text_buffer *b) {
    int root = last_search.scope.root_buff_id;
    return last_search.when_vfolds != WHEN_NEVER && b->id != root && buff_is_ancestor(b, root);
}

// The walk of a search: into folds and virtual folds as its settings say,
// never out of its root fold nor its buffer. Its place is the cursor, given
// back to the current buffer before a virtual fold changes the buffer.
struct search_rules : tree_walk_rules {
    bool enters(const tree_pos &p) const { return enters_line(p.fold->cur); }

    bool leaves(const tree_fold *f) const {
        return last_search.when_folds != WHEN_NEVER && f != last_search.scope.root_fold;
    }

    // Back to the parent buffer, writing the child back if the search changed
    // it.
    bool leave_top(tree_pos *p) {
        if (!leaves_buffer(cur_buffer)) return false;
        set_buffer_pos(cur_buffer, *p);
        vfold_close(1);
        prompt("searching ...");
        *p = buffer_pos(cur_buffer);
        return true;
    }

    // Into the file of the virtual fold line, unless that file is open in
    // this buffer or one it was entered from (which would go on without end):
    // read into a new child buffer, or, when the user takes another buffer
    // that holds it already, searched there from its first line, so that the
    // file has one copy in memory.
    void enter_virtual(tree_pos *p) {
        set_buffer_pos(cur_buffer, *p);
        const tree_line *v = p->fold->cur;
        char fn[LINE_BUF_SIZE];
        vfold_file(v, fn);
        if (file_in_chain(cur_buffer, fn)) error_file(ERR_RECURSION, fn);
        if (vfold_enter(v)) {
            while (cur_fold()->parent) fold_leave(cur_buffer);
            step_first();
            cursor_to_line_start();
        }
        prompt("searching ...");
        *p = buffer_pos(cur_buffer);
    }
};

} // namespace

void search_set_scope() {
    // Registered once: a notice has one registrant.
    [[maybe_unused]] static const bool told_of_freed_folds =
        (fold_set_free_notice(forget_root_fold), true);
    last_search.scope = {cur_fold(), cur_buffer->id};
}

int in_search_scope() {
    const search_scope &scope = last_search.scope;
    const text_buffer *b = cur_buffer;
    buffer_chain chain;
    while (b->id != scope.root_buff_id) {
        if (last_search.when_vfolds == WHEN_NEVER) return 0;
        b = chain.parent_of(b);
        if (!b) return 0;
    }
    for (const tree_fold *f = b->fold; f != scope.root_fold; f = f->parent)
        if (last_search.when_folds == WHEN_NEVER || !f->parent) return 0;
    return 1;
}

int search_step() {
    bool forwards = last_search.forwards;
    search_rules rules;
    tree_pos p = buffer_pos(cur_buffer);
    if (forwards ? walk_forwards(&p, rules) : walk_backwards(&p, rules)) {
        set_buffer_pos(cur_buffer, p);
        return 0;
    }
    if (forwards) {
        cursor_to_line_end();
        keep_row_bottom();
    } else {
        cursor_to_line_start();
        keep_row_top();
    }
    matched();
    return 1;
}

int buff_is_ancestor(const text_buffer *b, int id) {
    buffer_chain chain;
    for (; b; b = chain.parent_of(b))
        if (b->parent == id && id != -1) return 1;
    return 0;
}

int file_in_chain(const text_buffer *b, const char *fn) {
    buffer_chain chain;
    for (; b; b = chain.parent_of(b))
        if (same_file(fn, b->fn)) return 1;
    return 0;
}
