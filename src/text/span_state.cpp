#include "text/span_state.h"

#include "text/syntax.h"

#include <cstddef>
#include <cstdlib>

namespace {

constexpr unsigned WAITING = 0x80; // the line is in the list of waiting lines
constexpr unsigned STATE = 0x7f;

// Off until the first span_settle: nothing is kept while files are read at
// start-up.
bool paused = true;

// The lines waiting to be settled, with the id of the buffer whose rules
// apply (its language's), in a plain block: the line tree cannot fail.
struct waiting_line {
    tree_line *line;
    int buffer;
};
waiting_line *waiting;
int n_waiting, waiting_room;
bool lost_one; // the block could not grow: every state is forgotten

unsigned state_of(const tree_line *l) {
    return line_span_(l) & STATE;
}

void set_state(tree_line *l, unsigned state) {
    line_set_span_(l, (line_span_(l) & WAITING) | state);
}

// The line after l in file order; null past the end of its tree.
tree_line *next_in_file(const tree_line *l) {
    switch (line_kind(l)) {
    case LINE_FOLD: return line_fold(l)->first;
    case LINE_END: {
        const tree_fold *f = line_end_fold(l);
        return f->line ? line_next(f->line) : nullptr;
    }
    default: return line_next(l);
    }
}

// The state after l, which starts in state.
unsigned state_after(const tree_line *l, unsigned state, syntax_rules *rules) {
    if (line_kind(l) != LINE_TEXT) return state;
    return static_cast<unsigned>(
        syntax_scan(rules, line_text(l), static_cast<int>(state), nullptr));
}

// Lines of f (and of the folds holding it) may now hold known states.
void mark_known(tree_fold *f) {
    for (; f && !f->spans_known; f = f->parent) f->spans_known = 1;
}

// Every line of f's list and of the folds inside loses its state.
void forget_fold(tree_fold *top) {
    if (!top->spans_known) return;
    top->spans_known = 0;
    for (tree_line *l = top->first;;) {
        set_state(l, SPAN_UNKNOWN);
        if (line_kind(l) == LINE_FOLD && line_fold(l)->spans_known) {
            line_fold(l)->spans_known = 0;
            l = line_fold(l)->first;
        } else if (line_kind(l) == LINE_END) {
            const tree_fold *f = line_end_fold(l);
            if (f == top) return;
            l = line_next(f->line);
        } else {
            l = line_next(l);
        }
    }
}

text_buffer *buffer_of(const tree_fold *f) {
    while (f->parent) f = f->parent;
    for (text_buffer *b : buffs)
        if (b && b->top == f) return b;
    return nullptr;
}

syntax_rules *rules_of(const text_buffer *b) {
    return b && syntax_count(b->lang->syntax) > 0 ? b->lang->syntax : nullptr;
}

void wait(tree_line *l, int buffer) {
    if (line_span_(l) & WAITING) {
        for (int i = n_waiting - 1; i >= 0; i--)
            if (waiting[i].line == l) waiting[i].buffer = buffer;
        return;
    }
    if (n_waiting == waiting_room) {
        int room = waiting_room ? 2 * waiting_room : 64;
        void *more = std::realloc(waiting, static_cast<size_t>(room) * sizeof *waiting);
        if (!more) {
            lost_one = true;
            return;
        }
        waiting = static_cast<waiting_line *>(more);
        waiting_room = room;
    }
    waiting[n_waiting++] = {l, buffer};
    line_set_span_(l, line_span_(l) | WAITING);
}

// Rescans from l, whose own state is right, until a line after it comes out
// in the state it holds (or its state is not known: none after it is).
void settle_from(tree_line *l, syntax_rules *rules) {
    unsigned state = state_of(l);
    if (state == SPAN_UNKNOWN) return;
    for (;;) {
        unsigned after = state_after(l, state, rules);
        tree_line *next = next_in_file(l);
        if (!next) return;
        unsigned held = state_of(next);
        if (held == SPAN_UNKNOWN || (held == after && !(line_span_(next) & WAITING))) return;
        set_state(next, after);
        l = next;
        state = after;
    }
}

void forget_all() {
    for (text_buffer *b : buffs)
        if (b) forget_fold(b->top);
}

// Drops every waiting line.
void drop_waiting() {
    for (int i = 0; i < n_waiting; i++)
        line_set_span_(waiting[i].line, line_span_(waiting[i].line) & ~WAITING);
    n_waiting = 0;
}

} // namespace

void span_settle() {
    if (paused || lost_one) {
        drop_waiting();
        forget_all();
        paused = lost_one = false;
        return;
    }
    // Settling adds no waiting line.
    for (int i = 0; i < n_waiting; i++) {
        tree_line *l = waiting[i].line;
        line_set_span_(l, line_span_(l) & ~WAITING);
        if (syntax_rules *rules = rules_of(lookup_buff_id(waiting[i].buffer)))
            settle_from(l, rules);
    }
    n_waiting = 0;
}

void span_pause() {
    drop_waiting();
    paused = true;
}

void span_forget(text_buffer *b) {
    forget_fold(b->top);
}

void span_fill(text_buffer *b, tree_fold *f, const tree_line *to) {
    syntax_rules *rules = rules_of(b);
    if (!rules || state_of(to) != SPAN_UNKNOWN) return;
    // Back from the current line to the last line known, or to the start.
    tree_line *known = f->cur;
    tree_fold *in = f;
    while (state_of(known) == SPAN_UNKNOWN) {
        tree_line *prev = line_prev(known);
        tree_fold *prev_in = in;
        if (prev && line_kind(prev) == LINE_FOLD) {
            prev_in = line_fold(prev);
            prev = prev_in->end;
        } else if (!prev && in->line) {
            prev = in->line;
            prev_in = in->parent;
        } else if (!prev) {
            set_state(known, SPAN_NONE); // the first line of the file
            mark_known(in);
            break;
        }
        known = prev;
        in = prev_in;
    }
    // Forwards to `to`, every line on the way unknown.
    unsigned state = state_of(known);
    for (tree_line *l = known; l != to;) {
        state = state_after(l, state, rules);
        if (line_kind(l) == LINE_FOLD) mark_known(line_fold(l));
        l = next_in_file(l);
        if (!l) return;
        if (state_of(l) != SPAN_UNKNOWN)
            state = state_of(l);
        else
            set_state(l, state);
    }
}

int span_state(const tree_line *l) {
    return static_cast<int>(state_of(l));
}

int span_state_for_change(const tree_line *l) {
    return paused ? SPAN_UNKNOWN : static_cast<int>(state_of(l));
}

void span_text_changed(tree_line *l) {
    if (!paused && state_of(l) != SPAN_UNKNOWN) wait(l, cur_buffer ? cur_buffer->id : -1);
}

void span_forget_line(tree_line *l) {
    // Even while paused: a fold brought in with known states inside would
    // otherwise keep them, unseen by forget_all.
    set_state(l, SPAN_UNKNOWN);
    if (line_kind(l) == LINE_FOLD) forget_fold(line_fold(l));
}

void span_placed(tree_fold *f, tree_line *first, tree_line *last, int state) {
    if (paused || state == SPAN_UNKNOWN) return;
    text_buffer *b = buffer_of(f);
    syntax_rules *rules = rules_of(b);
    if (!rules) return;
    // The lines brought in are scanned now, so that the lines after them
    // never follow lines of unknown state.
    tree_line *tail = line_kind(last) == LINE_FOLD ? line_fold(last)->end : last;
    mark_known(f);
    unsigned s = static_cast<unsigned>(state);
    for (tree_line *l = first;; l = next_in_file(l)) {
        set_state(l, s);
        if (l == tail) break;
        if (line_kind(l) == LINE_FOLD) mark_known(line_fold(l));
        s = state_after(l, s, rules);
    }
    wait(tail, b->id);
}

void span_followed(tree_fold *f, tree_line *l, int state) {
    if (paused) return;
    set_state(l, static_cast<unsigned>(state));
    if (state == SPAN_UNKNOWN) return;
    mark_known(f);
    if (text_buffer *b = buffer_of(f)) wait(l, b->id);
}

void span_released(tree_line *l) {
    if (!(line_span_(l) & WAITING)) return;
    int kept = 0;
    for (int i = 0; i < n_waiting; i++)
        if (waiting[i].line != l) waiting[kept++] = waiting[i];
    n_waiting = kept;
}
