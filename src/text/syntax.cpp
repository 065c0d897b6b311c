#include "text/syntax.h"

#include "ere/ere.h"

#include <cstdlib>
#include <cstring>

namespace {

const char *const class_names[SYNTAX_CLASSES] = {
    "", "comment", "string", "keyword", "type", "number", "preprocessor",
};

constexpr int BYTE_SET = 32; // bytes of a set of bytes (ere_first_bytes)

// A rule as added: its class and its expressions' texts, checked then. Its
// compiled form is made when the first line of its language is scanned: the
// rules of languages not in use cost neither time nor memory beyond their
// texts.
struct syntax_rule {
    int cls;
    // start, end ("" for a rule of one match) and skip ("" for none), one
    // after another in one block
    char *texts;
};

const char *text_of(const syntax_rule &r, int which) {
    const char *text = r.texts;
    for (int i = 0; i < which; i++) text += std::strlen(text) + 1;
    return text;
}

struct compiled_rule {
    ERE *start; // null when too large for the engine: the rule never matches
    ERE *end;   // null for a rule of one match
    ERE *skip;  // null when the span skips nothing
    // The bytes a match of start can begin with, and can hold.
    unsigned char first[BYTE_SET], bytes[BYTE_SET];
};

void discard(compiled_rule &c) {
    ere_discard(c.start);
    ere_discard(c.end);
    ere_discard(c.skip);
    c.start = c.end = c.skip = nullptr;
}

// Compiles the rule; a rule whose expression the engine cannot hold (too
// complex, or no memory) keeps start null and never matches.
void compile(const syntax_rule &r, compiled_rule &c) {
    const char *end = text_of(r, 1), *skip = text_of(r, 2);
    c.start = ere_compile(r.texts, 0, nullptr);
    if (*end) c.end = ere_compile(end, 0, nullptr);
    if (*skip) c.skip = ere_compile(skip, 0, nullptr);
    if (!c.start || (*end && !c.end) || (*skip && !c.skip)) {
        discard(c);
        return;
    }
    ere_first_bytes(c.start, c.first);
    ere_bytes(c.start, c.bytes);
}

// Checks an expression as it would compile: SYNTAX_OK or the failure, with
// the engine's code.
int check(const char *text, bool may_be_empty, int *ere_code) {
    int min_length = 0;
    *ere_code = ere_check(text, 0, &min_length);
    if (*ere_code == 1) return SYNTAX_NO_MEMORY;
    if (*ere_code != 0) return SYNTAX_BAD_EXPRESSION;
    return may_be_empty || min_length > 0 ? SYNTAX_OK : SYNTAX_EMPTY_START;
}

// The three texts one after another in one block, or null.
char *copy_texts(const char *start, const char *end, const char *skip) {
    size_t a = std::strlen(start) + 1, b = std::strlen(end) + 1, c = std::strlen(skip) + 1;
    auto *s = static_cast<char *>(std::malloc(a + b + c));
    if (!s) return nullptr;
    std::memcpy(s, start, a);
    std::memcpy(s + a, end, b);
    std::memcpy(s + a + b, skip, c);
    return s;
}

bool has(const unsigned char *set, unsigned char byte) {
    return set[byte >> 3] >> (byte & 7) & 1;
}

bool meet(const unsigned char *a, const unsigned char *b) {
    for (int i = 0; i < BYTE_SET; i++)
        if (a[i] & b[i]) return true;
    return false;
}

// Rules looked for together: the union of their starts finds where the next
// of them starts in one pass over a line.
struct rule_group {
    int count;
    int rule[MAX_SYNTAX_RULES]; // in the order they were added
    ERE *any;                   // null before it is made, or when the engine cannot
    bool tried;
};

// What the first scan of a line makes of the rules.
struct compiled_rules {
    compiled_rule *rule; // as many as there are rules
    rule_group all;      // every rule, for colouring a line
    // The rules that decide which span a line ends in: those of spans, and
    // those whose matches may hold a byte that begins one of these (and so
    // may hide it). A match of any other rule holds no byte these begin
    // with, so leaving them out changes no span.
    rule_group spans;
};

void discard(compiled_rules *made, int count) {
    if (!made) return;
    for (int k = 0; k < count && made->rule; k++) discard(made->rule[k]);
    ere_discard(made->all.any);
    ere_discard(made->spans.any);
    std::free(made->rule);
    std::free(made);
}

} // namespace

struct syntax_rules {
    int count;
    // Grown as rules are added (a language has a dozen, most have none in
    // use): the shipped languages' rules, read at every start, then take
    // a few pages.
    int capacity;
    syntax_rule *rule;
    compiled_rules *made; // null until a line is scanned, and after a rule is added
};

int syntax_class_of(const char *name) {
    for (int c = SYN_COMMENT; c < SYNTAX_CLASSES; c++)
        if (std::strcmp(name, class_names[c]) == 0) return c;
    return -1;
}

namespace {

// Makes room for one more rule; false when memory runs out.
bool room_for_one(syntax_rules &sx) {
    if (sx.count < sx.capacity) return true;
    int capacity = sx.capacity ? 2 * sx.capacity : 8;
    if (capacity > MAX_SYNTAX_RULES) capacity = MAX_SYNTAX_RULES;
    void *grown = std::realloc(sx.rule, static_cast<size_t>(capacity) * sizeof(syntax_rule));
    if (!grown) return false;
    sx.rule = static_cast<syntax_rule *>(grown);
    sx.capacity = capacity;
    return true;
}

} // namespace

int syntax_add(syntax_rules **rules, int cls, const char *start, const char *end, const char *skip,
               int *ere_code) {
    int unused;
    if (!ere_code) ere_code = &unused;
    if (*rules && (*rules)->count >= MAX_SYNTAX_RULES) return SYNTAX_TOO_MANY;
    if (!*end) skip = "";
    int failure = check(start, false, ere_code);
    if (failure == SYNTAX_OK) failure = check(end, true, ere_code);
    if (failure == SYNTAX_OK) failure = check(skip, true, ere_code);
    if (failure != SYNTAX_OK) return failure;
    syntax_rule r{cls, copy_texts(start, end, skip)};
    if (!*rules) *rules = static_cast<syntax_rules *>(std::calloc(1, sizeof(syntax_rules)));
    if (!r.texts || !*rules || !room_for_one(**rules)) {
        std::free(r.texts);
        return SYNTAX_NO_MEMORY;
    }
    syntax_rules *sx = *rules;
    discard(sx->made, sx->count);
    sx->made = nullptr;
    sx->rule[sx->count++] = r;
    return SYNTAX_OK;
}

int syntax_count(const syntax_rules *rules) {
    return rules ? rules->count : 0;
}

void syntax_free(syntax_rules *rules) {
    if (!rules) return;
    discard(rules->made, rules->count);
    for (int k = 0; k < rules->count; k++) std::free(rules->rule[k].texts);
    std::free(rules->rule);
    std::free(rules);
}

namespace {

// Compiles the rules and makes their groups; null when memory runs out.
compiled_rules *make_groups(const syntax_rules *sx) {
    auto *made = static_cast<compiled_rules *>(std::calloc(1, sizeof(compiled_rules)));
    if (made)
        made->rule = static_cast<compiled_rule *>(std::calloc(sx->count, sizeof(compiled_rule)));
    if (!made || !made->rule) {
        discard(made, 0);
        return nullptr;
    }
    for (int k = 0; k < sx->count; k++) compile(sx->rule[k], made->rule[k]);
    bool in_spans[MAX_SYNTAX_RULES] = {};
    unsigned char begins[BYTE_SET] = {}; // what the rules in spans begin with
    for (bool grew = true; grew;) {
        grew = false;
        for (int k = 0; k < sx->count; k++) {
            const compiled_rule &r = made->rule[k];
            if (!r.start || in_spans[k] || (!r.end && !meet(r.bytes, begins))) continue;
            in_spans[k] = grew = true;
            for (int i = 0; i < BYTE_SET; i++) begins[i] |= r.first[i];
        }
    }
    for (int k = 0; k < sx->count; k++) {
        if (made->rule[k].start) made->all.rule[made->all.count++] = k;
        if (in_spans[k]) made->spans.rule[made->spans.count++] = k;
    }
    return made;
}

// The rule of the group whose start matches first at or after p, with where
// and how long; -1 when none does. Of rules matching at one place the first
// added wins.
int next_start(const syntax_rules *sx, rule_group &g, const char *text, int p, int *at,
               int *length) {
    const compiled_rule *rule = sx->made->rule;
    if (!g.tried) {
        const char *texts[MAX_SYNTAX_RULES];
        for (int i = 0; i < g.count; i++) texts[i] = sx->rule[g.rule[i]].texts;
        g.any = ere_compile_any(texts, g.count, 0, nullptr);
        g.tried = true;
    }
    if (g.any) {
        *at = ere_match_start(g.any, text, p);
        if (*at < 0) return -1;
        auto byte = static_cast<unsigned char>(text[*at]);
        for (int i = 0; i < g.count; i++) {
            const compiled_rule &r = rule[g.rule[i]];
            if (has(r.first, byte) && (*length = ere_match(r.start, 0, text, *at, nullptr)) > 0)
                return g.rule[i];
        }
    }
    // Without the union (or should it disagree): each rule alone.
    int best = -1;
    for (int i = 0; i < g.count; i++) {
        int s, n;
        if (ere_match_fwd(rule[g.rule[i]].start, 0, text, p, &s, &n, nullptr) &&
            (best < 0 || s < *at)) {
            best = g.rule[i];
            *at = s;
            *length = n;
        }
    }
    return best;
}

// Where the span of r that goes on at p ends (just past its end match), or
// -1 when it goes on past the line.
int span_end(const compiled_rule &r, const char *text, int p) {
    for (;;) {
        int e_at = -1, e_len = 0, s_at = -1, s_len = 0;
        bool end = ere_match_fwd(r.end, 0, text, p, &e_at, &e_len, nullptr);
        bool skip = r.skip && ere_match_fwd(r.skip, 0, text, p, &s_at, &s_len, nullptr);
        if (skip && (!end || s_at < e_at || (s_at == e_at && s_len >= e_len))) {
            p = s_at + (s_len > 0 ? s_len : 1);
            if (text[p - 1] == '\0') return -1; // an empty skip at the very end
            continue;
        }
        return end ? e_at + e_len : -1;
    }
}

void paint(unsigned char *classes, int from, int to, int cls) {
    if (classes) std::memset(classes + from, cls, to - from);
}

} // namespace

int syntax_scan(syntax_rules *rules, const char *text, int state, unsigned char *classes) {
    int n = static_cast<int>(std::strlen(text));
    paint(classes, 0, n, SYN_PLAIN);
    if (!rules || rules->count == 0) return SPAN_NONE;
    if (!rules->made) rules->made = make_groups(rules);
    if (!rules->made) return SPAN_NONE;
    const compiled_rule *rule = rules->made->rule;
    rule_group &g = classes ? rules->made->all : rules->made->spans;
    int k = state - SPAN_RULE;
    if (k < 0 || k >= rules->count || !rule[k].end || !rule[k].start) state = SPAN_NONE;
    for (int p = 0;;) {
        if (state != SPAN_NONE) {
            int end = span_end(rule[state - SPAN_RULE], text, p);
            paint(classes, p, end < 0 ? n : end, rules->rule[state - SPAN_RULE].cls);
            if (end < 0) return state;
            state = SPAN_NONE;
            p = end;
            continue;
        }
        int at = 0, length = 0;
        k = g.count ? next_start(rules, g, text, p, &at, &length) : -1;
        if (k < 0) return SPAN_NONE;
        paint(classes, at, at + length, rules->rule[k].cls);
        p = at + length;
        if (rule[k].end) state = SPAN_RULE + k;
    }
}
