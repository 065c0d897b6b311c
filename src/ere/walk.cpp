#include "ere/walk.h"

#include "ere/poll.h"
#include "ere/step.h"

#include <cstdlib>
#include <cstring>

namespace {

// The walk is a loop over an explicit stack of frames, one per edge followed,
// so that long texts and looping patterns cannot exhaust the thread's stack.
struct walk_frame {
    int state;
    int pos;
    int edge;       // next edge of state's list to try, -1 when done
    int via;        // edge that led here, -1 for the start
    int saved_last; // earlier last position of a zero-width via edge
    int inner;      // record to make current again when a group-close via edge is undone
};

// Spans are recorded per group nesting level: entering a group pushes a fresh
// record linked to the one that was current.
struct walk_record {
    ERE_SUBS subs;
    int link;
};

// Storage kept from one walk to the next.
struct walk_stack {
    walk_frame *frames = nullptr;
    int frame_capacity = 0;
    walk_record *records = nullptr;
    int record_capacity = 0;
};

// The match context; one match runs at a time.
struct walk_context {
    ere_automaton *aut;
    bool shortest;
    bool no_extend;
    const unsigned char *text;
    int limit;
    int best;
    ERE_SUBS *spans;
    int depth;
    int record_count;
    int current;
};

walk_stack stack;
walk_context ctx;

bool word_start(int p) {
    return (p == 0 || !is_word_byte(ctx.text[p - 1])) && is_word_byte(ctx.text[p]);
}

bool word_end(int p) {
    return p > 0 && is_word_byte(ctx.text[p - 1]) && !is_word_byte(ctx.text[p]);
}

// Whether a zero-width test (kinds 8 to 13) holds at p.
bool zero_width_holds(int kind, int p) {
    switch (kind) {
    case EDGE_START: return p == 0;
    case EDGE_END: return ctx.text[p] == 0;
    case EDGE_WORD_START: return word_start(p);
    case EDGE_WORD_END: return word_end(p);
    case EDGE_INSIDE_WORD:
        return p > 0 && is_word_byte(ctx.text[p - 1]) && is_word_byte(ctx.text[p]);
    case EDGE_WORD_BOUNDARY: return word_start(p) || word_end(p);
    default: return false;
    }
}

template <typename T> bool grow(T **items, int *capacity, int needed) {
    if (needed <= *capacity) return true;
    int capacity_new = *capacity ? *capacity * 2 : 256;
    while (capacity_new < needed) capacity_new *= 2;
    T *items_new = static_cast<T *>(std::realloc(*items, capacity_new * sizeof(T)));
    if (!items_new) return false;
    *items = items_new;
    *capacity = capacity_new;
    return true;
}

void record_end(int pos) {
    if (ctx.best >= 0 && (ctx.best < pos) == ctx.shortest) return;
    if (pos > ctx.limit) return;
    ctx.best = pos;
    if (ctx.spans) {
        const ERE_SUBS &top = stack.records[0].subs;
        ctx.spans->count = top.count;
        int n = top.count < 9 ? top.count : 9;
        std::memcpy(ctx.spans->span, top.span, n * sizeof top.span[0]);
    }
}

// Pushes the frame for (state, pos), entered through edge via. Returns false
// when the stack cannot grow.
inline bool push(int state, int pos, int via, int saved_last, int inner) {
    if (ctx.depth == stack.frame_capacity &&
        !grow(&stack.frames, &stack.frame_capacity, ctx.depth + 1))
        return false;
    walk_frame &f = stack.frames[ctx.depth++];
    f.state = state;
    f.pos = pos;
    f.via = via;
    f.saved_last = saved_last;
    f.inner = inner;
    f.edge = ctx.aut->head[state];
    if (ctx.aut->flags[state] & STATE_ACCEPTING) {
        record_end(pos);
        if (ctx.no_extend) f.edge = -1;
    }
    return true;
}

// Pops the top frame and undoes what following its edge did.
inline void pop() {
    const walk_frame &f = stack.frames[--ctx.depth];
    if (f.via < 0) return;
    ere_edge &edge = ctx.aut->edges[f.via];
    if (!edge_is_zero_width(edge.kind)) return;
    edge.last = f.saved_last;
    if (edge.kind == EDGE_OPEN) {
        ctx.current = stack.records[ctx.current].link;
        ctx.record_count--;
    } else if (edge.kind == EDGE_CLOSE) {
        stack.records[ctx.current].subs.count--;
        ctx.current = f.inner;
    }
}

// Follows a zero-width edge to position q under the rule that stops loops of
// edges that consume nothing: never twice at the same position on one path.
// The caller has checked that the edge's last position is not q.
bool follow_zero_width(ere_edge &edge, int e, int q, int inner = -1) {
    int saved = edge.last;
    edge.last = q;
    return push(edge.target, q, e, saved, inner);
}

bool open_group(ere_edge &edge, int e, int p) {
    ERE_SUBS &level = stack.records[ctx.current].subs;
    if (level.count < 9) level.span[level.count].offset = p;
    if (edge.last == p) return true;
    if (!grow(&stack.records, &stack.record_capacity, ctx.record_count + 1)) return false;
    walk_record &fresh = stack.records[ctx.record_count];
    fresh.subs.count = 0;
    fresh.link = ctx.current;
    ctx.current = ctx.record_count++;
    return follow_zero_width(edge, e, p);
}

bool close_group(ere_edge &edge, int e, int p) {
    int inner = ctx.current;
    ctx.current = stack.records[inner].link;
    ERE_SUBS &level = stack.records[ctx.current].subs;
    if (level.count < 9) level.span[level.count].length = p - level.span[level.count].offset;
    if (edge.last == p) {
        ctx.current = inner;
        return true;
    }
    level.count++;
    return follow_zero_width(edge, e, p, inner);
}

bool back_reference(ere_edge &edge, int e, int p) {
    const ERE_SUBS &level = stack.records[ctx.current].subs;
    int group = edge.operand.group;
    if (group >= level.count) return true;
    int offset = level.span[group].offset, n = level.span[group].length;
    int q = p + n;
    if (q > ctx.limit || std::memcmp(ctx.text + p, ctx.text + offset, n) != 0 || edge.last == q)
        return true;
    return follow_zero_width(edge, e, q);
}

// Tries edge e at position p; returns false when the walk must give up.
inline bool try_edge(int e, int p) {
    ere_edge &edge = ctx.aut->edges[e];
    if (edge.kind < EDGE_EPSILON) {
        int n = edge_consumes(edge, ctx.text, p, ctx.limit);
        return n < 0 || push(edge.target, p + n, e, 0, 0);
    }
    switch (edge.kind) {
    case EDGE_OPEN: return open_group(edge, e, p);
    case EDGE_CLOSE: return close_group(edge, e, p);
    case EDGE_BACKREF: return back_reference(edge, e, p);
    default:
        if (!zero_width_holds(edge.kind, p) || edge.last == p) return true;
        return follow_zero_width(edge, e, p);
    }
}

} // namespace

int walk_search(ERE *ere, int flags, const walk_subject &subject, int start, int limit,
                ERE_SUBS *spans) {
    ctx.aut = ere->automaton;
    ctx.shortest = (flags & ERE_SHORTEST) != 0;
    ctx.no_extend = (flags & ERE_NO_EXTEND) != 0;
    ctx.text = subject.text;
    ctx.limit = limit;
    ctx.best = -1;
    ctx.spans = spans;
    ctx.depth = 0;
    if (!grow(&stack.records, &stack.record_capacity, 1)) {
        match_give_up();
        return -1;
    }
    stack.records[0].subs.count = 0;
    stack.records[0].link = -1;
    ctx.record_count = 1;
    ctx.current = 0;

    const ere_edge *edges = ctx.aut->edges;
    bool gave_up = !push(ere->start, start, -1, 0, 0);
    while (ctx.depth > 0 && !gave_up) {
        walk_frame &f = stack.frames[ctx.depth - 1];
        int e = f.edge;
        if (e < 0) {
            pop();
            continue;
        }
        f.edge = edges[e].next;
        gave_up = poll_step() || !try_edge(e, f.pos);
    }
    if (gave_up) {
        // The last-position fields of the edges on the path are put back, so
        // the automaton is unchanged for the next match.
        while (ctx.depth > 0) pop();
        match_give_up();
        return -1;
    }
    return ctx.best;
}
