#include "ere/scanner.h"

static constexpr char run_stoppers[] = "\\.[](){}?+*|^$<>~";

static int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int scan_escape(const char *p, const char **next) {
    *next = p;
    switch (*p) {
    case '\0': return 0;
    case 'b': *next = p + 1; return 8;
    case 'e': *next = p + 1; return 27;
    case 'f': *next = p + 1; return 12;
    case 'n': *next = p + 1; return 10;
    case 'r': *next = p + 1; return 13;
    case 't': *next = p + 1; return 9;
    case 'x': {
        int high = hex_value(p[1]);
        if (high < 0) {
            *next = p + 1;
            return 'x';
        }
        int low = hex_value(p[2]);
        if (low < 0) {
            *next = p + 2;
            return high;
        }
        *next = p + 3;
        return high * 16 + low;
    }
    default: *next = p + 1; return static_cast<unsigned char>(*p);
    }
}

// The bytes that end a run of ordinary characters, the NUL among them: a
// table, since the parser looks at the same run more than once.
static const struct run_stopper_table {
    bool stops[256] = {true};
    constexpr run_stopper_table() {
        for (const char *p = run_stoppers; *p; p++) stops[static_cast<unsigned char>(*p)] = true;
    }
} run_stopper;

static bool ends_run(char c) {
    return run_stopper.stops[static_cast<unsigned char>(c)];
}

static void set_token(ere_token *token, token_kind kind, const char *next) {
    token->kind = kind;
    token->next = next;
}

static void scan_backslash(const char *p, ere_token *token) {
    // p is at the backslash.
    switch (p[1]) {
    case '`': set_token(token, TOK_START_ANCHOR, p + 2); return;
    case '\'': set_token(token, TOK_END_ANCHOR, p + 2); return;
    case '<': set_token(token, TOK_WORD_START, p + 2); return;
    case '>': set_token(token, TOK_WORD_END, p + 2); return;
    case 'B': set_token(token, TOK_INSIDE_WORD, p + 2); return;
    case 'y': set_token(token, TOK_WORD_BOUNDARY, p + 2); return;
    case 'w': set_token(token, TOK_WORD_CHAR, p + 2); return;
    case 'W': set_token(token, TOK_NON_WORD_CHAR, p + 2); return;
    default: break;
    }
    if (p[1] >= '1' && p[1] <= '9') {
        set_token(token, TOK_BACKREF, p + 2);
        token->value = static_cast<unsigned char>(p[1] - '1');
        return;
    }
    const char *next;
    int value = scan_escape(p + 1, &next);
    if (value == 0) {
        set_token(token, TOK_END, p);
        return;
    }
    set_token(token, TOK_CHAR, next);
    token->value = static_cast<unsigned char>(value);
}

static void scan_tilde(const char *p, ere_token *token) {
    // p is at the "~". A "~" whose excluded character would end the
    // expression (nothing after it, or an escape that reads as the end) is the
    // character "~" itself; the scanner then stops where the expression ends.
    if (p[1] == '\0') {
        set_token(token, TOK_CHAR, p + 1);
        token->value = '~';
        return;
    }
    if (p[1] == '\\') {
        const char *next;
        int value = scan_escape(p + 2, &next);
        if (value == 0) {
            set_token(token, TOK_CHAR, p + 1);
            token->value = '~';
            return;
        }
        set_token(token, TOK_EXCLUDED, next);
        token->value = static_cast<unsigned char>(value);
        return;
    }
    set_token(token, TOK_EXCLUDED, p + 2);
    token->value = static_cast<unsigned char>(p[1]);
}

void scan_token(const char *p, ere_token *token) {
    switch (*p) {
    case '\0': set_token(token, TOK_END, p); return;
    case '.': set_token(token, TOK_ANY, p + 1); return;
    case '[': set_token(token, TOK_OPEN_SET, p + 1); return;
    case ']': set_token(token, TOK_CLOSE_SET, p + 1); return;
    case '(': set_token(token, TOK_OPEN_GROUP, p + 1); return;
    case ')': set_token(token, TOK_CLOSE_GROUP, p + 1); return;
    case '{': set_token(token, TOK_OPEN_COUNT, p + 1); return;
    case '}': set_token(token, TOK_CLOSE_COUNT, p + 1); return;
    case '?': set_token(token, TOK_OPTIONAL, p + 1); return;
    case '+': set_token(token, TOK_PLUS, p + 1); return;
    case '*': set_token(token, TOK_STAR, p + 1); return;
    case '|': set_token(token, TOK_BAR, p + 1); return;
    case '^': set_token(token, TOK_START_ANCHOR, p + 1); return;
    case '$': set_token(token, TOK_END_ANCHOR, p + 1); return;
    case '\\': scan_backslash(p, token); return;
    case '~': scan_tilde(p, token); return;
    default: break;
    }
    // A run of three or more ordinary characters becomes a string of all but
    // its last character, so that a quantifier after it binds to that last
    // character alone.
    int length = 0;
    while (length < RUN_LIMIT && !ends_run(p[length])) length++;
    if (length >= 3) {
        set_token(token, TOK_STRING, p + length - 1);
        token->string = p;
        token->length = length - 1;
        return;
    }
    set_token(token, TOK_CHAR, p + 1);
    token->value = static_cast<unsigned char>(*p);
}
