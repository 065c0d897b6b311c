#include "commands/arguments.h"

#include "commands/errors.h"
#include "host/filename.h"

#include <cctype>
#include <cstring>

arg_value arg_val[MAX_ARGS];
char arg_strs[MAX_ARGS][LINE_BUF_SIZE];

prompt_option when_opts[3] = {
    {"never", WHEN_NEVER, 0, 0},
    {"if_open", WHEN_IF_OPEN, 0, 0},
    {"always", WHEN_ALWAYS, 0, 0},
};

int lookup_opt(const char *word, const prompt_option *options, int count) {
    for (int i = 0; i < count; i++)
        if (std::strcmp(options[i].name, word) == 0) return options[i].value;
    return -1;
}

static bool is_number_start(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '&';
}

// Copies the word at p (up to white space or the end, at most LINE_MAX_TEXT
// bytes of it) into out and returns the position after the whole word.
static const char *read_word(const char *p, char *out) {
    int n = 0;
    for (; *p != '\0' && !is_space_byte(static_cast<unsigned char>(*p)); p++)
        if (n < LINE_MAX_TEXT) out[n++] = *p;
    out[n] = '\0';
    return p;
}

// Reads a quoted string into out (LINE_BUF_SIZE bytes), or raises "bad string".
static const char *read_quoted(const char *p, char *out) {
    if (*p != '"' || strnlen(p, LINE_BUF_SIZE) > LINE_MAX_TEXT) error_code(ERR_BAD_STRING);
    const char *after = scan_quoted_str(p, out);
    if (after == nullptr) error_code(ERR_BAD_STRING);
    return after;
}

static void asked(int answered) {
    if (!answered) error_code(ERR_ABORTED);
}

const char *get_num(const char *p, int *value, const char *question) {
    if (*p == '?') {
        asked(prompt_num(question, value));
        return p + 1;
    }
    if (!is_number_start(*p)) error_code(ERR_BAD_NUMBER);
    return scan_num_hex(p, value);
}

const char *get_str(const char *p, char *value, const char *question) {
    if (*p == '?') {
        asked(prompt_str(question, value));
        return p + 1;
    }
    return read_quoted(p, value);
}

const char *get_char(const char *p, unsigned char *value, const char *question) {
    if (*p == '?') {
        asked(prompt_char(question, value));
        return p + 1;
    }
    if (*p == '\'') {
        if (p[1] == '\0' || p[2] != '\'') error_code(ERR_BAD_CHARACTER);
        *value = static_cast<unsigned char>(p[1]);
        return p + 3;
    }
    if (!is_number_start(*p)) error_code(ERR_BAD_CHARACTER);
    int n;
    p = scan_num_hex(p, &n);
    *value = static_cast<unsigned char>(n & 0xFF);
    return p;
}

// One entry of a table of buffers or languages (null slots are skipped): "?"
// asks which, from all of them with the current one first; "." is the
// current one; a quoted name is looked up. Raises the error for none.
template <class T, int SIZE, class Name, class Lookup>
static const char *get_entry(const char *p, T **value, const char *question,
                             T *const (&table)[SIZE], T *current, int error, Name name_of,
                             Lookup lookup) {
    if (*p == '?') {
        prompt_option options[SIZE];
        int count = 0, first = 0;
        for (int slot = 0; slot < SIZE; slot++) {
            if (table[slot] == nullptr) continue;
            if (table[slot] == current) first = count;
            options[count++] = {name_of(table[slot]), slot, 0, 0};
        }
        prompt_option *chosen = nullptr;
        if (count == 0) error_code(error);
        asked(prompt_opt(question, &chosen, options, count, first));
        *value = table[chosen->value];
        return p + 1;
    }
    if (*p == '.') {
        if (current == nullptr) error_code(error);
        *value = current;
        return p + 1;
    }
    char name[LINE_BUF_SIZE];
    p = read_quoted(p, name);
    T *found = lookup(name);
    if (found == nullptr) error_code(error);
    *value = found;
    return p;
}

const char *get_buff(const char *p, text_buffer **value, const char *question) {
    return get_entry(
        p, value, question, buffs, cur_buffer, ERR_BAD_BUFFER, [](text_buffer *b) { return b->fn; },
        [](const char *name) {
            const char *host_name = get_os_fn(name);
            return host_name != nullptr ? lookup_buff_text(host_name) : nullptr;
        });
}

const char *get_lang(const char *p, language_def **value, const char *question) {
    return get_entry(
        p, value, question, langs, cur_buffer ? cur_buffer->lang : nullptr, ERR_BAD_LANGUAGE,
        [](language_def *l) { return l->name; }, lookup_lang_text);
}

// The word at p, which must name one of the count options: its value, or the
// error raised.
static const char *read_option(const char *p, int *value, const prompt_option *options, int count,
                               int error) {
    char word[LINE_BUF_SIZE];
    p = read_word(p, word);
    int v = lookup_opt(word, options, count);
    if (v < 0) error_code(error);
    *value = v;
    return p;
}

const char *get_yn(const char *p, int *value, const char *question) {
    if (*p == '?') {
        asked(prompt_yn(question, value));
        return p + 1;
    }
    return read_option(p, value, yes_no_opts, 2, ERR_BAD_YES_NO);
}

const char *get_when(const char *p, int *value, const char *question) {
    if (*p == '?') {
        prompt_option *chosen = nullptr;
        asked(prompt_opt(question, &chosen, when_opts, 3, WHEN_NEVER));
        *value = chosen->value;
        return p + 1;
    }
    return read_option(p, value, when_opts, 3, ERR_BAD_SEARCH_CRITERION);
}
