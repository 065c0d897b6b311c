#include "text/line.h"

#include "host/notice.h"
#include "text/alloc.h"
#include "text/scan.h"
#include "text/span_state.h"

#include <cstdlib>
#include <cstring>

namespace {

#ifdef OX_LINE_UNPACKED
record_pool line_pool = POOL_INIT(sizeof(tree_line));
#endif
record_pool fold_pool = POOL_INIT(sizeof(tree_fold));
record_pool vfold_pool = POOL_INIT(sizeof(virtual_fold));

void (*delete_notice)(tree_line *);
void (*free_notice)(tree_fold *);

// The old string a setter replaced goes to the watcher, or is freed.
void let_go(int kind, void *owner, char *old) {
    if (!line_watcher_ || !line_watcher_->replaced(kind, owner, old)) str_free(old);
}

// The packed layout keeps 48 bits of a payload address; an address that needs
// more cannot be stored and counts as lack of memory. Linux never hands such
// addresses out unless asked to.
bool payload_fits(const void *p) {
#ifdef OX_LINE_UNPACKED
    (void)p;
    return true;
#else
    return (reinterpret_cast<uintptr_t>(p) & ~line_payload_mask_) == 0;
#endif
}

tree_line *line_new(unsigned kind, void *payload) {
    if (!payload_fits(payload)) return nullptr;
#ifdef OX_LINE_UNPACKED
    tree_line *l = static_cast<tree_line *>(pool_get(&line_pool));
#else
    tree_line *l = line_at_(region_get());
#endif
    if (l) line_init_(l, kind, payload);
    return l;
}

// Every line record is freed here, after its notice.
void line_release(tree_line *l) {
    if (delete_notice) delete_notice(l);
    span_released(l);
#ifdef OX_LINE_UNPACKED
    pool_put(&line_pool, l);
#else
    region_put(line_index_(l));
#endif
}

// A copy of the length bytes of text and its NUL.
char *save_payload_string(const char *text, size_t length) {
    char *s = arena_get(length + 1);
    if (s) memcpy(s, text, length + 1);
    if (s && !payload_fits(s)) {
        str_free(s);
        return nullptr;
    }
    return s;
}

} // namespace

void line_set_delete_notice(void (*notice)(tree_line *)) {
    register_notice(delete_notice, notice);
}

void fold_set_free_notice(void (*notice)(tree_fold *)) {
    register_notice(free_notice, notice);
}

tree_watcher *line_watcher_;

void line_set_watcher(tree_watcher *w) {
    register_notice(line_watcher_, w);
}

int line_set_text(tree_line *l, const char *text) {
    char *s = save_payload_string(text, strlen(text));
    if (!s) return 0;
    let_go(LINE_TEXT, l, string_exchange(LINE_TEXT, l, s));
    return 1;
}

int fold_set_name(tree_fold *f, const char *name) {
    char *s = strsave(name);
    if (!s) return 0;
    let_go(LINE_FOLD, f, string_exchange(LINE_FOLD, f, s));
    return 1;
}

int vfold_set_name(virtual_fold *v, const char *name) {
    char *s = strsave(name);
    if (!s) return 0;
    let_go(LINE_VIRT, v, string_exchange(LINE_VIRT, v, s));
    return 1;
}

char *string_exchange(int kind, void *owner, char *s) {
    char *old;
    switch (kind) {
    case LINE_TEXT: {
        tree_line *l = static_cast<tree_line *>(owner);
        old = static_cast<char *>(line_payload_(l));
        line_set_payload_(l, s);
        span_text_changed(l);
        break;
    }
    case LINE_FOLD: {
        tree_fold *f = static_cast<tree_fold *>(owner);
        old = f->name;
        f->name = s;
        break;
    }
    default: {
        virtual_fold *v = static_cast<virtual_fold *>(owner);
        old = v->name;
        v->name = s;
        break;
    }
    }
    return old;
}

const char *string_of(const tree_line *l) {
    switch (line_kind(l)) {
    case LINE_TEXT: return line_text(l);
    case LINE_FOLD: return line_fold(l)->name;
    case LINE_VIRT: return line_virt(l)->name;
    default: return "";
    }
}

int line_set_string(tree_line *l, const char *s) {
    switch (line_kind(l)) {
    case LINE_TEXT: return line_set_text(l, s);
    case LINE_FOLD: return fold_set_name(line_fold(l), s);
    case LINE_VIRT: return vfold_set_name(line_virt(l), s);
    default: return 0;
    }
}

namespace {

// Columns and indents stay within this of 0, so sums of them fit an int.
constexpr int COL_LIMIT = 1 << 24;

int held(int indent) {
    return indent < -COL_LIMIT ? -COL_LIMIT : indent > COL_LIMIT ? COL_LIMIT : indent;
}

} // namespace

int line_indent(const tree_line *l) {
    switch (line_kind(l)) {
    case LINE_FOLD: return line_fold(l)->indent;
    case LINE_VIRT: return line_virt(l)->indent;
    default: return 0;
    }
}

int indent_of(const tree_line *l) {
    int kind = line_kind(l);
    return kind == LINE_FOLD || kind == LINE_VIRT ? held(line_indent(l)) + 4 : 0;
}

void line_set_indent(tree_line *l, int indent) {
    int kind = line_kind(l);
    if (line_watcher_ && (kind == LINE_FOLD || kind == LINE_VIRT))
        line_watcher_->indenting(l, indent);
    switch (kind) {
    case LINE_FOLD: line_fold(l)->indent = indent; break;
    case LINE_VIRT: line_virt(l)->indent = indent; break;
    default: break;
    }
}

int line_is_open(const tree_line *l) {
    switch (line_kind(l)) {
    case LINE_FOLD: return line_fold(l)->open;
    case LINE_VIRT: return line_virt(l)->open;
    default: return 0;
    }
}

void line_set_open(tree_line *l, int open) {
    int kind = line_kind(l);
    if (line_watcher_ && (kind == LINE_FOLD || kind == LINE_VIRT)) line_watcher_->opening(l, open);
    switch (kind) {
    case LINE_FOLD: line_fold(l)->open = open != 0; break;
    case LINE_VIRT: line_virt(l)->open = open; break;
    default: break;
    }
}

tree_fold *fold_create(const char *name, int indent, int open) {
    char *n = strsave(name);
    if (!n) return nullptr;
    tree_fold *f = static_cast<tree_fold *>(pool_get(&fold_pool));
    tree_line *end = f ? line_new(LINE_END, f) : nullptr;
    if (!end) {
        pool_put(&fold_pool, f);
        str_free(n);
        return nullptr;
    }
    f->name = n;
    f->indent = indent;
    f->open = open != 0;
    f->line_count = 1;
    f->deep_count = 1;
    f->cur_index = 0;
    f->cur_count = 0;
    f->into = 0;
    f->col = 0;
    f->row = FOLD_FIRST_ROW;
    f->mark1 = -1;
    f->mark2 = -1;
    f->spans_known = 0;
    f->cur = f->first = f->end = end;
    f->parent = nullptr;
    f->line = nullptr;
    return f;
}

void fold_free(tree_fold *f) {
    if (!f) return;
    line_release(f->end);
    if (free_notice) free_notice(f);
    str_free(f->name);
    pool_put(&fold_pool, f);
}

tree_line *line_create_text(const char *text) {
    return line_create_text_of(text, strlen(text));
}

tree_line *line_create_text_of(const char *text, size_t length) {
    char *s = save_payload_string(text, length);
    if (!s) return nullptr;
    tree_line *l = line_new(LINE_TEXT, s);
    if (!l) str_free(s);
    return l;
}

tree_line *line_create_fold(const char *name, int indent, int open) {
    tree_fold *f = fold_create(name, indent, open);
    if (!f) return nullptr;
    tree_line *l = line_new(LINE_FOLD, f);
    if (!l)
        fold_free(f);
    else
        f->line = l;
    return l;
}

tree_line *line_create_virt(const char *quoted_name, int indent, int open) {
    char *n = strsave(quoted_name);
    if (!n) return nullptr;
    virtual_fold *v = static_cast<virtual_fold *>(pool_get(&vfold_pool));
    tree_line *l = v ? line_new(LINE_VIRT, v) : nullptr;
    if (!l) {
        pool_put(&vfold_pool, v);
        str_free(n);
        return nullptr;
    }
    v->name = n;
    v->indent = indent;
    v->open = open;
    return l;
}

tree_line *line_copy_text(const tree_line *l) {
    return line_create_text(line_text(l));
}

tree_line *line_copy_virt(const tree_line *l) {
    const virtual_fold *v = line_virt(l);
    return line_create_virt(v->name, v->indent, v->open);
}

tree_line *line_copy_fold(const tree_line *l) {
    const tree_fold *f = line_fold(l);
    return line_create_fold(f->name, f->indent, f->open);
}

tree_line *line_copy(const tree_line *l) {
    switch (line_kind(l)) {
    case LINE_TEXT: return line_copy_text(l);
    case LINE_FOLD: return line_copy_fold(l);
    case LINE_VIRT: return line_copy_virt(l);
    default: return nullptr;
    }
}

tree_line *line_copy_deep(const tree_line *l) {
    return line_kind(l) == LINE_FOLD ? line_copy_deep_fold(l) : line_copy(l);
}

namespace {

// One fold being copied: the next source line to copy, the source end line,
// and the copy's fold line, which joins its parent copy only when it is full
// so that its lines are counted once, as the file reader does.
struct copy_frame {
    const tree_line *at;
    const tree_line *stop;
    tree_line *copy;
};

void append(tree_line *l, tree_fold *f) {
    line_insert(l, f);
    line_step_next(f);
}

} // namespace

// Walks the source with an explicit stack rather than recursion, so that any
// depth of nesting copies without exhausting the call stack.
tree_line *line_copy_deep_fold(const tree_line *src) {
    tree_line *root = line_copy_fold(src);
    if (!root) return nullptr;
    copy_frame small[16];
    copy_frame *stack = small;
    size_t cap = sizeof small / sizeof small[0], depth = 0;
    stack[depth++] = {line_fold(src)->first, line_fold(src)->end, root};
    for (;;) {
        copy_frame *top = &stack[depth - 1];
        if (top->at == top->stop) {
            tree_line *done = top->copy;
            if (--depth == 0) {
                if (stack != small) free(stack);
                return done;
            }
            append(done, line_fold(stack[depth - 1].copy));
            continue;
        }
        const tree_line *s = top->at;
        top->at = line_next(s);
        tree_line *c = line_copy(s);
        if (!c) break;
        if (line_kind(s) != LINE_FOLD) {
            append(c, line_fold(top->copy));
            continue;
        }
        if (depth == cap) {
            auto *bigger = static_cast<copy_frame *>(malloc(2 * cap * sizeof(copy_frame)));
            if (!bigger) {
                line_delete_fold(c);
                break;
            }
            memcpy(bigger, stack, depth * sizeof(copy_frame));
            if (stack != small) free(stack);
            stack = bigger;
            cap *= 2;
        }
        stack[depth++] = {line_fold(s)->first, line_fold(s)->end, c};
    }
    // Out of memory: every unfinished copy is in no list yet.
    while (depth) line_delete_deep(stack[--depth].copy);
    if (stack != small) free(stack);
    return nullptr;
}

void line_delete_text(tree_line *l) {
    if (!l) return;
    char *text = static_cast<char *>(line_payload_(l));
    line_release(l);
    str_free(text);
}

void line_delete_virt(tree_line *l) {
    if (!l) return;
    virtual_fold *v = line_virt(l);
    line_release(l);
    str_free(v->name);
    pool_put(&vfold_pool, v);
}

void line_delete_fold(tree_line *l) {
    if (!l) return;
    fold_free(line_fold(l));
    line_release(l);
}

void line_delete_deep_fold(tree_line *l) {
    if (!l) return;
    f_delete_deep(line_fold(l));
    line_release(l);
}

// Iterative: when a fold line is met, its lines are spliced into the walk in
// its place and the emptied fold is freed, so nesting of any depth needs no
// stack. Links that the walk no longer follows are left stale.
void f_delete_deep(tree_fold *f) {
    if (!f) return;
    tree_line *l = f->first;
    while (l != f->end) {
        tree_line *next = line_next(l);
        switch (line_kind(l)) {
        case LINE_TEXT: line_delete_text(l); break;
        case LINE_VIRT: line_delete_virt(l); break;
        case LINE_FOLD: {
            tree_fold *inner = line_fold(l);
            if (inner->first != inner->end) {
                line_set_next_(line_prev(inner->end), next);
                next = inner->first;
            }
            line_delete_fold(l);
            break;
        }
        default: break;
        }
        l = next;
    }
    fold_free(f);
}

namespace {

// A line the watcher does not keep is freed, shallow or deep.
void delete_line(tree_line *l, bool deep) {
    if (!l || (line_watcher_ && line_watcher_->deleting(l))) return;
    switch (line_kind(l)) {
    case LINE_TEXT: line_delete_text(l); break;
    case LINE_FOLD: deep ? line_delete_deep_fold(l) : line_delete_fold(l); break;
    case LINE_VIRT: line_delete_virt(l); break;
    default: break;
    }
}

} // namespace

void line_delete(tree_line *l) {
    delete_line(l, false);
}

void line_delete_deep(tree_line *l) {
    delete_line(l, true);
}
