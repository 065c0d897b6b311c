#include "text/line.h"

#include "host/notice.h"
#include "text/alloc.h"
#include "text/scan.h"
#include "text/span_state.h"

#include <cstdlib>
#include <cstring>

namespace {

POOL line_pool = POOL_INIT(sizeof(LINE));
POOL fold_pool = POOL_INIT(sizeof(FOLD));
POOL vfold_pool = POOL_INIT(sizeof(VFOLD));

void (*delete_notice)(LINE *);
void (*free_notice)(FOLD *);

// The old string a setter replaced goes to the watcher, or is freed.
void let_go(int kind, void *owner, char *old) {
    if (!line_watcher_ || !line_watcher_->replaced(kind, owner, old)) str_free(old);
}

// The packed layout keeps the type and span bytes in the top 16 bits of the
// payload word; an address that needs them cannot be stored and counts as
// lack of memory. Linux never hands such addresses out unless asked to.
bool payload_fits(const void *p) {
#ifdef OX_LINE_UNPACKED
    (void)p;
    return true;
#else
    return (reinterpret_cast<uintptr_t>(p) & ~line_payload_mask_) == 0;
#endif
}

LINE *line_new(unsigned kind, void *payload) {
    if (!payload_fits(payload)) return nullptr;
    LINE *l = static_cast<LINE *>(pool_get(&line_pool));
    if (l) line_init_(l, kind, payload);
    return l;
}

// Every line record is freed here, after its notice.
void line_release(LINE *l) {
    if (delete_notice) delete_notice(l);
    span_released(l);
    pool_put(&line_pool, l);
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

void line_set_delete_notice(void (*notice)(LINE *)) {
    register_notice(delete_notice, notice);
}

void fold_set_free_notice(void (*notice)(FOLD *)) {
    register_notice(free_notice, notice);
}

TREE_WATCHER *line_watcher_;

void line_set_watcher(TREE_WATCHER *w) {
    register_notice(line_watcher_, w);
}

int line_set_text(LINE *l, const char *text) {
    char *s = save_payload_string(text, strlen(text));
    if (!s) return 0;
    let_go(LINE_TEXT, l, string_exchange(LINE_TEXT, l, s));
    return 1;
}

int fold_set_name(FOLD *f, const char *name) {
    char *s = strsave(name);
    if (!s) return 0;
    let_go(LINE_FOLD, f, string_exchange(LINE_FOLD, f, s));
    return 1;
}

int vfold_set_name(VFOLD *v, const char *name) {
    char *s = strsave(name);
    if (!s) return 0;
    let_go(LINE_VIRT, v, string_exchange(LINE_VIRT, v, s));
    return 1;
}

char *string_exchange(int kind, void *owner, char *s) {
    char *old;
    switch (kind) {
    case LINE_TEXT: {
        LINE *l = static_cast<LINE *>(owner);
        old = static_cast<char *>(line_payload_(l));
        line_set_payload_(l, s);
        span_text_changed(l);
        break;
    }
    case LINE_FOLD: {
        FOLD *f = static_cast<FOLD *>(owner);
        old = f->name;
        f->name = s;
        break;
    }
    default: {
        VFOLD *v = static_cast<VFOLD *>(owner);
        old = v->name;
        v->name = s;
        break;
    }
    }
    return old;
}

const char *string_of(const LINE *l) {
    switch (line_kind(l)) {
    case LINE_TEXT: return line_text(l);
    case LINE_FOLD: return line_fold(l)->name;
    case LINE_VIRT: return line_virt(l)->name;
    default: return "";
    }
}

int line_set_string(LINE *l, const char *s) {
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

int line_indent(const LINE *l) {
    switch (line_kind(l)) {
    case LINE_FOLD: return line_fold(l)->indent;
    case LINE_VIRT: return line_virt(l)->indent;
    default: return 0;
    }
}

int indent_of(const LINE *l) {
    int kind = line_kind(l);
    return kind == LINE_FOLD || kind == LINE_VIRT ? held(line_indent(l)) + 4 : 0;
}

void line_set_indent(LINE *l, int indent) {
    int kind = line_kind(l);
    if (line_watcher_ && (kind == LINE_FOLD || kind == LINE_VIRT))
        line_watcher_->indenting(l, indent);
    switch (kind) {
    case LINE_FOLD: line_fold(l)->indent = indent; break;
    case LINE_VIRT: line_virt(l)->indent = indent; break;
    default: break;
    }
}

int line_is_open(const LINE *l) {
    switch (line_kind(l)) {
    case LINE_FOLD: return line_fold(l)->open;
    case LINE_VIRT: return line_virt(l)->open;
    default: return 0;
    }
}

void line_set_open(LINE *l, int open) {
    int kind = line_kind(l);
    if (line_watcher_ && (kind == LINE_FOLD || kind == LINE_VIRT)) line_watcher_->opening(l, open);
    switch (kind) {
    case LINE_FOLD: line_fold(l)->open = open; break;
    case LINE_VIRT: line_virt(l)->open = open; break;
    default: break;
    }
}

FOLD *fold_create(const char *name, int indent, int open) {
    char *n = strsave(name);
    if (!n) return nullptr;
    FOLD *f = static_cast<FOLD *>(pool_get(&fold_pool));
    if (!f) {
        str_free(n);
        return nullptr;
    }
    f->name = n;
    f->indent = indent;
    f->open = open;
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
    line_init_(&f->end_line, LINE_END, nullptr);
    f->cur = f->first = f->end = &f->end_line;
    f->parent = nullptr;
    f->line = nullptr;
    return f;
}

void fold_free(FOLD *f) {
    if (!f) return;
    if (delete_notice) delete_notice(f->end);
    span_released(f->end);
    if (free_notice) free_notice(f);
    str_free(f->name);
    pool_put(&fold_pool, f);
}

LINE *line_create_text(const char *text) {
    return line_create_text_of(text, strlen(text));
}

LINE *line_create_text_of(const char *text, size_t length) {
    char *s = save_payload_string(text, length);
    if (!s) return nullptr;
    LINE *l = line_new(LINE_TEXT, s);
    if (!l) str_free(s);
    return l;
}

LINE *line_create_fold(const char *name, int indent, int open) {
    FOLD *f = fold_create(name, indent, open);
    if (!f) return nullptr;
    LINE *l = line_new(LINE_FOLD, f);
    if (!l)
        fold_free(f);
    else
        f->line = l;
    return l;
}

LINE *line_create_virt(const char *quoted_name, int indent, int open) {
    char *n = strsave(quoted_name);
    if (!n) return nullptr;
    VFOLD *v = static_cast<VFOLD *>(pool_get(&vfold_pool));
    LINE *l = v ? line_new(LINE_VIRT, v) : nullptr;
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

LINE *line_copy_text(const LINE *l) {
    return line_create_text(line_text(l));
}

LINE *line_copy_virt(const LINE *l) {
    const VFOLD *v = line_virt(l);
    return line_create_virt(v->name, v->indent, v->open);
}

LINE *line_copy_fold(const LINE *l) {
    const FOLD *f = line_fold(l);
    return line_create_fold(f->name, f->indent, f->open);
}

LINE *line_copy(const LINE *l) {
    switch (line_kind(l)) {
    case LINE_TEXT: return line_copy_text(l);
    case LINE_FOLD: return line_copy_fold(l);
    case LINE_VIRT: return line_copy_virt(l);
    default: return nullptr;
    }
}

LINE *line_copy_deep(const LINE *l) {
    return line_kind(l) == LINE_FOLD ? line_copy_deep_fold(l) : line_copy(l);
}

namespace {

// One fold being copied: the next source line to copy, the source end line,
// and the copy's fold line, which joins its parent copy only when it is full
// so that its lines are counted once, as the file reader does.
struct COPY_FRAME {
    const LINE *at;
    const LINE *stop;
    LINE *copy;
};

void append(LINE *l, FOLD *f) {
    line_insert(l, f);
    line_step_next(f);
}

} // namespace

// Walks the source with an explicit stack rather than recursion, so that any
// depth of nesting copies without exhausting the call stack.
LINE *line_copy_deep_fold(const LINE *src) {
    LINE *root = line_copy_fold(src);
    if (!root) return nullptr;
    COPY_FRAME small[16];
    COPY_FRAME *stack = small;
    size_t cap = sizeof small / sizeof small[0], depth = 0;
    stack[depth++] = {line_fold(src)->first, line_fold(src)->end, root};
    for (;;) {
        COPY_FRAME *top = &stack[depth - 1];
        if (top->at == top->stop) {
            LINE *done = top->copy;
            if (--depth == 0) {
                if (stack != small) free(stack);
                return done;
            }
            append(done, line_fold(stack[depth - 1].copy));
            continue;
        }
        const LINE *s = top->at;
        top->at = s->next;
        LINE *c = line_copy(s);
        if (!c) break;
        if (line_kind(s) != LINE_FOLD) {
            append(c, line_fold(top->copy));
            continue;
        }
        if (depth == cap) {
            auto *bigger = static_cast<COPY_FRAME *>(malloc(2 * cap * sizeof(COPY_FRAME)));
            if (!bigger) {
                line_delete_fold(c);
                break;
            }
            memcpy(bigger, stack, depth * sizeof(COPY_FRAME));
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

void line_delete_text(LINE *l) {
    if (!l) return;
    char *text = static_cast<char *>(line_payload_(l));
    line_release(l);
    str_free(text);
}

void line_delete_virt(LINE *l) {
    if (!l) return;
    VFOLD *v = line_virt(l);
    line_release(l);
    str_free(v->name);
    pool_put(&vfold_pool, v);
}

void line_delete_fold(LINE *l) {
    if (!l) return;
    fold_free(line_fold(l));
    line_release(l);
}

void line_delete_deep_fold(LINE *l) {
    if (!l) return;
    f_delete_deep(line_fold(l));
    line_release(l);
}

// Iterative: when a fold line is met, its lines are spliced into the walk in
// its place and the emptied fold is freed, so nesting of any depth needs no
// stack. Links that the walk no longer follows are left stale.
void f_delete_deep(FOLD *f) {
    if (!f) return;
    LINE *l = f->first;
    while (l != f->end) {
        LINE *next = l->next;
        switch (line_kind(l)) {
        case LINE_TEXT: line_delete_text(l); break;
        case LINE_VIRT: line_delete_virt(l); break;
        case LINE_FOLD: {
            FOLD *inner = line_fold(l);
            if (inner->first != inner->end) {
                inner->end->prev->next = next;
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
void delete_line(LINE *l, bool deep) {
    if (!l || (line_watcher_ && line_watcher_->deleting(l))) return;
    switch (line_kind(l)) {
    case LINE_TEXT: line_delete_text(l); break;
    case LINE_FOLD: deep ? line_delete_deep_fold(l) : line_delete_fold(l); break;
    case LINE_VIRT: line_delete_virt(l); break;
    default: break;
    }
}

} // namespace

void line_delete(LINE *l) {
    delete_line(l, false);
}

void line_delete_deep(LINE *l) {
    delete_line(l, true);
}
