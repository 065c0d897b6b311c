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
struct WAITING_LINE {
    LINE *line;
    int buffer;
};
WAITING_LINE *waiting;
int n_waiting, waiting_room;
bool lost_one; // the block could not grow: every state is forgotten

unsigned state_of(const LINE *l) {
    return line_span_(l) & STATE;
}

void set_state(LINE *l, unsigned state) {
    line_set_span_(l, (line_span_(l) & WAITING) | state);
}

FOLD *fold_of_end(const LINE *end) {
    return reinterpret_cast<FOLD *>(const_cast<char *>(reinterpret_cast<const char *>(end)) -
                                    offsetof(FOLD, end_line));
}

// The line after l in file order; null past the end of its tree.
LINE *next_in_file(const LINE *l) {
    switch (line_kind(l)) {
    case LINE_FOLD: return line_fold(l)->first;
    case LINE_END: {
        const FOLD *f = fold_of_end(l);
        return f->line ? f->line->next : nullptr;
    }
    default: return l->next;
    }
}

// The state after l, which starts in state.
unsigned state_after(const LINE *l, unsigned state, SYNTAX *rules) {
    if (line_kind(l) != LINE_TEXT) return state;
    return static_cast<unsigned>(
        syntax_scan(rules, line_text(l), static_cast<int>(state), nullptr));
}

// Lines of f (and of the folds holding it) may now hold known states.
void mark_known(FOLD *f) {
    for (; f && !f->spans_known; f = f->parent) f->spans_known = 1;
}

// Every line of f's list and of the folds inside loses its state.
void forget_fold(FOLD *top) {
    if (!top->spans_known) return;
    top->spans_known = 0;
    for (LINE *l = top->first;;) {
        set_state(l, SPAN_UNKNOWN);
        if (line_kind(l) == LINE_FOLD && line_fold(l)->spans_known) {
            line_fold(l)->spans_known = 0;
            l = line_fold(l)->first;
        } else if (line_kind(l) == LINE_END) {
            const FOLD *f = fold_of_end(l);
            if (f == top) return;
            l = f->line->next;
        } else {
            l = l->next;
        }
    }
}

BUFF *buffer_of(const FOLD *f) {
    while (f->parent) f = f->parent;
    for (BUFF *b : buffs)
        if (b && b->top == f) return b;
    return nullptr;
}

SYNTAX *rules_of(const BUFF *b) {
    return b && syntax_count(b->lang->syntax) > 0 ? b->lang->syntax : nullptr;
}

void wait(LINE *l, int buffer) {
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
        waiting = static_cast<WAITING_LINE *>(more);
        waiting_room = room;
    }
    waiting[n_waiting++] = {l, buffer};
    line_set_span_(l, line_span_(l) | WAITING);
}

// Rescans from l, whose own state is right, until a line after it comes out
// in the state it holds (or its state is not known: none after it is).
void settle_from(LINE *l, SYNTAX *rules) {
    unsigned state = state_of(l);
    if (state == SPAN_UNKNOWN) return;
    for (;;) {
        unsigned after = state_after(l, state, rules);
        LINE *next = next_in_file(l);
        if (!next) return;
        unsigned held = state_of(next);
        if (held == SPAN_UNKNOWN || (held == after && !(line_span_(next) & WAITING))) return;
        set_state(next, after);
        l = next;
        state = after;
    }
}

void forget_all() {
    for (BUFF *b : buffs)
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
        LINE *l = waiting[i].line;
        line_set_span_(l, line_span_(l) & ~WAITING);
        if (SYNTAX *rules = rules_of(lookup_buff_id(waiting[i].buffer))) settle_from(l, rules);
    }
    n_waiting = 0;
}

void span_pause() {
    drop_waiting();
    paused = true;
}

void span_forget(BUFF *b) {
    forget_fold(b->top);
}

void span_fill(BUFF *b, FOLD *f, const LINE *to) {
    SYNTAX *rules = rules_of(b);
    if (!rules || state_of(to) != SPAN_UNKNOWN) return;
    // Back from the current line to the last line known, or to the start.
    LINE *known = f->cur;
    FOLD *in = f;
    while (state_of(known) == SPAN_UNKNOWN) {
        LINE *prev = known->prev;
        FOLD *prev_in = in;
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
    for (LINE *l = known; l != to;) {
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

int span_state(const LINE *l) {
    return static_cast<int>(state_of(l));
}

int span_state_for_change(const LINE *l) {
    return paused ? SPAN_UNKNOWN : static_cast<int>(state_of(l));
}

void span_text_changed(LINE *l) {
    if (!paused && state_of(l) != SPAN_UNKNOWN) wait(l, cur_buffer ? cur_buffer->id : -1);
}

void span_forget_line(LINE *l) {
    // Even while paused: a fold brought in with known states inside would
    // otherwise keep them, unseen by forget_all.
    set_state(l, SPAN_UNKNOWN);
    if (line_kind(l) == LINE_FOLD) forget_fold(line_fold(l));
}

void span_placed(FOLD *f, LINE *first, LINE *last, int state) {
    if (paused || state == SPAN_UNKNOWN) return;
    BUFF *b = buffer_of(f);
    SYNTAX *rules = rules_of(b);
    if (!rules) return;
    // The lines brought in are scanned now, so that the lines after them
    // never follow lines of unknown state.
    LINE *tail = line_kind(last) == LINE_FOLD ? line_fold(last)->end : last;
    mark_known(f);
    unsigned s = static_cast<unsigned>(state);
    for (LINE *l = first;; l = next_in_file(l)) {
        set_state(l, s);
        if (l == tail) break;
        if (line_kind(l) == LINE_FOLD) mark_known(line_fold(l));
        s = state_after(l, s, rules);
    }
    wait(tail, b->id);
}

void span_followed(FOLD *f, LINE *l, int state) {
    if (paused) return;
    set_state(l, static_cast<unsigned>(state));
    if (state == SPAN_UNKNOWN) return;
    mark_known(f);
    if (BUFF *b = buffer_of(f)) wait(l, b->id);
}

void span_released(LINE *l) {
    if (!(line_span_(l) & WAITING)) return;
    int kept = 0;
    for (int i = 0; i < n_waiting; i++)
        if (waiting[i].line != l) waiting[kept++] = waiting[i];
    n_waiting = kept;
}
