#include "commands/translate.h"

#include "commands/errors.h"

#include <cstring>

size_t trans_parse(const char *text, char *out) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    size_t n = 0;
    int prev = -1; // none yet
    auto append = [&](int byte) {
        if (n >= LINE_MAX_TEXT) error_code(ERR_TRANS_TOO_BIG);
        out[n++] = static_cast<char>(byte);
        prev = byte;
    };
    while (*p != '\0') {
        if (*p == '-') {
            if (prev < 0 || p[1] == '\0') error_code(ERR_TRANS_RANGE);
            int last = p[1];
            for (int byte = prev + 1; byte <= last; byte++) append(byte);
            prev = last;
            p += 2;
        } else if (*p == '\\') {
            if (p[1] == '\0') error_code(ERR_TRANS_ESCAPE);
            append(p[1]);
            p += 2;
        } else {
            append(*p++);
        }
    }
    out[n] = '\0';
    return n;
}

void trans_apply(char *s, const char *from, const char *to) {
    unsigned char map[256];
    for (int byte = 0; byte < 256; byte++) map[byte] = static_cast<unsigned char>(byte);
    // Backwards, so that the first occurrence of a byte in from is the one that stays.
    for (size_t i = std::strlen(from); i-- > 0;)
        map[static_cast<unsigned char>(from[i])] = static_cast<unsigned char>(to[i]);
    for (; *s != '\0'; s++) *s = static_cast<char>(map[static_cast<unsigned char>(*s)]);
}

void trans_prepare(const char *from, const char *to, translation *t) {
    size_t n = trans_parse(from, t->from);
    if (trans_parse(to, t->to) != n) error_code(ERR_TRANS_SIZES);
}

void trans_line(tree_line *l, const translation *t) {
    if (line_kind(l) == LINE_END) return;
    char s[LINE_BUF_SIZE];
    std::strcpy(s, string_of(l));
    trans_apply(s, t->from, t->to);
    if (std::strcmp(s, string_of(l)) != 0 && !line_set_string(l, s)) error_code(ERR_OUT_OF_MEMORY);
}
