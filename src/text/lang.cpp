#include "text/lang.h"

#include "ere/ere.h"
#include "host/filename.h"
#include "text/buffer.h"
#include "text/syntax.h"

#include <cstdlib>
#include <cstring>

language_def *langs[MAX_LANGS];
int n_langs;

namespace {

int next_lang_id;

bool fits(const char *s) {
    return strlen(s) <= LINE_MAX_TEXT;
}

bool in_use(const language_def *lang) {
    for (text_buffer *b : buffs) {
        if (b && b->lang == lang) return true;
    }
    return false;
}

// Whether the expression matches the whole of text. Most languages' patterns
// cannot, as is found without compiling them (".*[.]go" for "main.c").
bool matches_whole(const char *expression, const char *text) {
    if (!ere_may_match_whole(expression, 0, text)) return false;
    int error = 0;
    ERE *ere = ere_compile(expression, 0, &error);
    if (!ere) return false;
    int len = ere_match(ere, 0, text, 0, nullptr);
    ere_discard(ere);
    return len >= 0 && static_cast<size_t>(len) == strlen(text);
}

} // namespace

language_def *lang_create(const char *name, const char *rc_start, const char *rc_end,
                          const char *match, const char *separators, unsigned flags) {
    if (n_langs >= MAX_LANGS) return nullptr;
    if (!fits(name) || !fits(rc_start) || !fits(rc_end) || !fits(match) || !fits(separators)) {
        return nullptr;
    }
    size_t start_size = strlen(rc_start) + 1, end_size = strlen(rc_end) + 1;
    auto *lang = static_cast<language_def *>(
        malloc(sizeof(language_def) + start_size + end_size + strlen(match) + 1));
    if (!lang) return nullptr;
    lang->id = next_lang_id++;
    lang->flags = flags;
    strcpy(lang->separators, separators);
    strcpy(lang->name, name);
    char *after = reinterpret_cast<char *>(lang + 1);
    lang->rc_start = strcpy(after, rc_start);
    lang->rc_end = strcpy(after + start_size, rc_end);
    lang->match = strcpy(after + start_size + end_size, match);
    lang->syntax = nullptr;
    langs[n_langs++] = lang;
    return lang;
}

int lang_delete(language_def *lang) {
    if (!lang || in_use(lang)) return 0;
    for (int i = 0; i < n_langs; i++) {
        if (langs[i] != lang) continue;
        memmove(&langs[i], &langs[i + 1], (n_langs - i - 1) * sizeof(language_def *));
        langs[--n_langs] = nullptr;
        syntax_free(lang->syntax);
        free(lang);
        return 1;
    }
    return 0;
}

language_def *lookup_lang_id(int id) {
    for (int i = n_langs - 1; i >= 0; i--) {
        if (langs[i]->id == id) return langs[i];
    }
    return nullptr;
}

language_def *lookup_lang_text(const char *name) {
    for (int i = n_langs - 1; i >= 0; i--) {
        if (strcmp(langs[i]->name, name) == 0) return langs[i];
    }
    return nullptr;
}

language_def *guess_lang_of(const char *file_name) {
    const char *host = get_os_fn(file_name);
    if (!host) return nullptr;
    char match_form[OS_FN_SIZE];
    get_match_fn(host, match_form);
    for (int i = n_langs - 1; i >= 0; i--) {
        if (langs[i]->match[0] && matches_whole(langs[i]->match, match_form)) return langs[i];
    }
    return nullptr;
}

language_def *lang_for_file(const char *file_name) {
    language_def *lang = guess_lang_of(file_name);
    return lang ? lang : lookup_lang_text("top");
}
