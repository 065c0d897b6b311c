#include "commands/search.h"

#include <cctype>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "commands/arguments.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/search_plain.h"
#include "commands/search_poll.h"
#include "commands/search_walk.h"
#include "display/prompt.h"
#include "display/screen.h"

search_record last_search;

namespace {

// Longer expressions are refused before they are compiled.
constexpr size_t EXPRESSION_MAX = 300;

// The error code ere_subs_with gives when the new text would be too long.
constexpr int SUBS_TOO_LONG = 24;

// The lower case of every byte, as the expression engine folds its literals.
struct lower_case_table {
    unsigned char of[256];
    bool ascii; // only A to Z change, each to its small letter
    lower_case_table() : ascii(true) {
        for (int c = 0; c < 256; c++) {
            of[c] = static_cast<unsigned char>(std::tolower(c));
            if (of[c] != (c >= 'A' && c <= 'Z' ? c + 32 : c)) ascii = false;
        }
    }
};
const lower_case_table lower;

// Every line is folded when case is ignored, so sixteen bytes are folded at
// a time where only A to Z change.
void to_lower(char *out, const char *s, int n) {
    int i = 0;
#ifdef __SSE2__
    if (lower.ascii) {
        const __m128i before_a = _mm_set1_epi8('A' - 1), after_z = _mm_set1_epi8('Z' + 1),
                      small = _mm_set1_epi8(32);
        for (; i + 16 <= n; i += 16) {
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
            // Compared as signed bytes: those from 128 up are below 'A'.
            __m128i capital =
                _mm_and_si128(_mm_cmpgt_epi8(b, before_a), _mm_cmplt_epi8(b, after_z));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i),
                             _mm_or_si128(b, _mm_and_si128(capital, small)));
        }
    }
#endif
    for (; i < n; i++) out[i] = static_cast<char>(lower.of[static_cast<unsigned char>(s[i])]);
    out[n] = '\0';
}

// The current line as the search sees it.
struct line_scan {
    tree_line *line;
    const char *string; // the line's own string
    const char *text;   // what is searched: the string, or its lower-case copy
    int base;           // the into value of the string's first byte
    int length;
    char lowered[LINE_BUF_SIZE];
};

// A match in the current line: its byte offsets in the string, and the spans
// of an expression's groups when they are needed for a replacement.
struct match {
    int start, end;
    ERE_SUBS subs;
};

// Loads the current line into s; false on an end line, where there is
// nothing to search. A cursor in a fold line's indentation moves to the
// start of its name.
bool load_line(line_scan &s) {
    tree_fold *f = cur_fold();
    tree_line *l = f->cur;
    if (line_kind(l) == LINE_END) return false;
    s.line = l;
    s.string = string_of(l);
    s.base = indent_of(l);
    s.length = static_cast<int>(std::strlen(s.string));
    if (last_search.case_sensitive) {
        s.text = s.string;
    } else {
        to_lower(s.lowered, s.string, s.length);
        s.text = s.lowered;
    }
    if (f->into < s.base) f->into = s.base;
    return true;
}

// A match ended early by the engine: Escape, or no memory for its walk.
[[noreturn]] void match_gave_up() {
    error_code(escape_watch_seen() ? ERR_ABORTED : ERR_OUT_OF_MEMORY);
}

// Runs one match of the expression with the Escape poll in place.
template <class Match> bool expression_match(Match run) {
    ere_set_poll(escape_watch_hook);
    int found = run();
    ere_set_poll(nullptr);
    if (!found && ere_aborted()) match_gave_up();
    return found;
}

// Forwards, the first match that starts at or after offset; backwards, the
// last match that ends at or before it (of those, the one that starts first).
// The direction is known where it is called, so each is made on its own.
template <bool FORWARDS> bool find_match(const line_scan &s, int offset, match &m) {
    const search_record &q = last_search;
    if (offset > s.length) {
        if (FORWARDS) return false;
        offset = s.length;
    }
    int at = 0, length = q.plain_len;
    if (q.ere) {
        ERE_SUBS *subs = q.replace ? &m.subs : nullptr;
        auto engine = FORWARDS ? ere_match_fwd : ere_match_bwd;
        if (!expression_match(
                [&] { return engine(q.ere.get(), 0, s.text, offset, &at, &length, subs); }))
            return false;
    } else {
        at = FORWARDS ? plain_find_forwards(s.text, s.length, offset, q.plain, q.plain_len)
                      : plain_find_backwards(s.text, offset, q.plain, q.plain_len);
        if (at < 0) return false;
    }
    m.start = at;
    m.end = at + length;
    return true;
}

// The line's string with the match replaced, into out (LINE_BUF_SIZE bytes).
// Raises "line too long" when it would pass LINE_MAX_TEXT bytes and "bad
// substitution" when the replacement names a group the match did not close
// or ends in a lone backslash.
void replaced_string(const line_scan &s, const match &m, char *out) {
    const search_record &q = last_search;
    int match_len = m.end - m.start;
    if (q.ere) {
        int code = 0;
        if (!ere_subs_with(s.string, m.start, match_len, &m.subs, q.replacement, out, LINE_MAX_TEXT,
                           &code))
            error_code(code == SUBS_TOO_LONG ? ERR_LINE_TOO_LONG : ERR_BAD_SUBSTITUTION);
        return;
    }
    if (s.length - match_len + q.replacement_len > LINE_MAX_TEXT) error_code(ERR_LINE_TOO_LONG);
    std::memcpy(out, s.string, m.start);
    std::memcpy(out + m.start, q.replacement, q.replacement_len);
    std::strcpy(out + m.start + q.replacement_len, s.string + m.end);
}

// The remembered column of a match's place is worked out once the search
// stops there, not at each of the matches it passes: it is stale while the
// cursor is at a match.
bool column_stale;

void cursor_to_match(int into) {
    cur_fold()->into = into;
    column_stale = true;
}

// However the search ends, the cursor's column is right when it has.
struct column_made_right {
    column_made_right() { column_stale = false; }
    ~column_made_right() {
        if (column_stale) set_into(cur_fold()->into);
    }
};

// Shows the match when asked to, replaces it when that is wanted, and leaves
// the cursor after it (forwards) or at its start (backwards).
void handle_match(line_scan &s, const match &m) {
    search_record &q = last_search;
    q.count++;
    if (q.forwards)
        keep_row_bottom();
    else
        keep_row_top();
    cursor_to_match(s.base + (q.forwards ? m.end : m.start));
    int replace_it = 1;
    if (q.confirm) {
        refresh();
        if (!q.replace) {
            int key;
            if (!prompt_key("press a key ...", &key)) error_code(ERR_ABORTED);
        } else if (!prompt_yn("sure: ", &replace_it)) {
            error_code(ERR_ABORTED);
        }
        prompt("searching ...");
    }
    if (q.replace && replace_it) {
        char out[LINE_BUF_SIZE];
        replaced_string(s, m, out);
        int grown = static_cast<int>(std::strlen(out)) - s.length;
        if (!line_set_string(s.line, out)) error_code(ERR_OUT_OF_MEMORY);
        line_changed(s.line);
        if (q.forwards) cursor_to_match(cur_fold()->into + grown);
        load_line(s);
        if (q.confirm) refresh();
    }
    q.last_empty = m.start == m.end;
}

// Into value 0, where the walk puts the cursor on each line it reaches.
void cursor_to_start_quickly() {
    tree_fold *f = cur_fold();
    f->into = 0;
    f->col = 0;
}

// One step of the walk, which puts the cursor, column and all, where the
// search goes on or where it ended: 1 when it has ended.
int step_on() {
    int ended = search_step();
    column_stale = false;
    return ended;
}

// The next match forwards, false when the search has ended.
bool next_forwards(line_scan &s, match &m) {
    tree_fold *f = cur_fold();
    if (last_search.last_empty) {
        if (f->into >= max_into_value()) {
            if (step_on()) return false;
            cursor_to_start_quickly();
        } else {
            f->into++;
        }
    }
    for (;;) {
        if (load_line(s) && find_match<true>(s, cur_fold()->into - s.base, m)) return true;
        if (step_on()) {
            keep_row_bottom();
            return false;
        }
        cursor_to_start_quickly();
        if (escape_watch_check()) error_code(ERR_ABORTED);
    }
}

// The next match backwards, false when the search has ended.
bool next_backwards(line_scan &s, match &m) {
    tree_fold *f = cur_fold();
    if (last_search.last_empty) {
        load_line(s);
        if (f->into <= indent_of(f->cur)) {
            if (step_on()) {
                keep_row_top();
                return false;
            }
            cursor_to_line_end();
        } else {
            f->into--;
        }
    }
    for (;;) {
        if (load_line(s) && find_match<false>(s, cur_fold()->into - s.base, m)) return true;
        if (step_on()) {
            keep_row_top();
            return false;
        }
        cursor_to_line_end();
        if (escape_watch_check()) error_code(ERR_ABORTED);
    }
}

} // namespace

void search_setup(const char *pattern, int case_sensitive, int regular, int when_folds,
                  int when_vfolds, int forwards, int times, int confirm) {
    search_record &q = last_search;
    q.forwards = forwards;
    if (regular) {
        if (std::strlen(pattern) > EXPRESSION_MAX) error_code(ERR_EXPRESSION_TOO_LONG);
        int code = 0;
        owned_ere compiled(ere_compile(pattern, case_sensitive ? 0 : ERE_ICASE, &code));
        if (!compiled) {
            if (!ere_error(code)) error_code(ERR_OUT_OF_MEMORY);
            error_text(ere_error(code));
        }
        q.ere = std::move(compiled);
        q.plain[0] = '\0';
        q.plain_len = 0;
    } else {
        q.plain_len = static_cast<int>(strnlen(pattern, LINE_MAX_TEXT));
        if (case_sensitive) {
            std::memcpy(q.plain, pattern, q.plain_len);
            q.plain[q.plain_len] = '\0';
        } else {
            to_lower(q.plain, pattern, q.plain_len);
        }
        q.ere.reset();
    }
    q.case_sensitive = case_sensitive;
    q.have_pattern = 1;
    q.times = times == 0 ? ~0u : static_cast<unsigned>(times);
    q.when_folds = when_folds;
    q.when_vfolds = when_vfolds;
    q.confirm = confirm;
    q.last_empty = 0;
}

void search_run() {
    search_record &q = last_search;
    q.count = 0;
    column_made_right column;
    escape_watch_start();
    prompt("searching ...");
    line_scan s;
    match m;
    for (;;) {
        if (!(q.forwards ? next_forwards(s, m) : next_backwards(s, m))) return;
        handle_match(s, m);
        if (static_cast<unsigned>(q.count) >= q.times) {
            if (q.forwards)
                keep_row_bottom();
            else
                keep_row_top();
            prompt_blank();
            return;
        }
    }
}

void matched() {
    if (last_search.count == 0) error_code(ERR_NOT_FOUND);
    char message[32];
    char *end = print_num(message, static_cast<unsigned>(last_search.count));
    *print_str(end, " matches") = '\0';
    prompt(message);
}

void search_forget() {
    search_record &q = last_search;
    q.have_pattern = 0;
    q.ere.reset();
    q.plain[0] = '\0';
    q.plain_len = 0;
    q.replace = 0;
    q.last_empty = 0;
    q.count = 0;
    q.scope = search_scope{};
}
