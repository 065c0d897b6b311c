#include "display/utf8.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>
#include <cwchar>

static bool utf8_mode;

bool utf8_text() {
    return utf8_mode;
}

void set_utf8_text(bool on) {
    utf8_mode = on;
}

void utf8_text_from_locale() {
    const char *set = std::setlocale(LC_CTYPE, "") ? nl_langinfo(CODESET) : "";
    utf8_mode = std::strcmp(set, "UTF-8") == 0;
    if (!utf8_mode) std::setlocale(LC_CTYPE, "C");
}

static bool continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

int utf8_sequence(const char *s, int avail) {
    const auto *u = reinterpret_cast<const unsigned char *>(s);
    if (avail < 2) return 0;
    unsigned char lead = u[0];
    int n;
    // The second byte's range rules out overlong forms, surrogates and code
    // points beyond U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (avail < n || u[1] < low || u[1] > high) return 0;
    for (int i = 2; i < n; i++)
        if (!continuation(u[i])) return 0;
    return n;
}

unsigned utf8_decode(const char *s, int n) {
    const auto *u = reinterpret_cast<const unsigned char *>(s);
    static const unsigned lead_bits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    unsigned code = u[0] & lead_bits[n];
    for (int i = 1; i < n; i++) code = code << 6 | (u[i] & 0x3F);
    return code;
}

int utf8_encode(unsigned code, char *out) {
    auto put = [out](int i, unsigned v) { out[i] = static_cast<char>(v); };
    if (code < 0x80) {
        put(0, code);
        return 1;
    }
    if (code < 0x800) {
        put(0, 0xC0 | code >> 6);
        put(1, 0x80 | (code & 0x3F));
        return 2;
    }
    if (code >= 0xD800 && code <= 0xDFFF) return 0;
    if (code < 0x10000) {
        put(0, 0xE0 | code >> 12);
        put(1, 0x80 | (code >> 6 & 0x3F));
        put(2, 0x80 | (code & 0x3F));
        return 3;
    }
    if (code > 0x10FFFF) return 0;
    put(0, 0xF0 | code >> 18);
    put(1, 0x80 | (code >> 12 & 0x3F));
    put(2, 0x80 | (code >> 6 & 0x3F));
    put(3, 0x80 | (code & 0x3F));
    return 4;
}

int char_len(const char *s) {
    if (*s == '\0') return 0;
    if (!utf8_mode || static_cast<unsigned char>(*s) < 0x80) return 1;
    // A sequence never holds a NUL, so it cannot run past the end.
    int n = utf8_sequence(s, 4);
    return n ? n : 1;
}

int char_before(const char *s, int p) {
    if (utf8_mode && continuation(static_cast<unsigned char>(s[p - 1])))
        for (int n = 2; n <= 4 && n <= p; n++)
            if (utf8_sequence(s + p - n, n) == n) return p - n;
    return p - 1;
}

int utf8_cells(const char *s, int n) {
    return wcwidth(static_cast<wchar_t>(utf8_decode(s, n)));
}

int text_cells(const char *s) {
    if (!utf8_mode) return static_cast<int>(std::strlen(s));
    int cells = 0;
    while (*s != '\0') {
        int n = utf8_sequence(s, 4);
        if (n == 0) {
            cells++;
            s++;
            continue;
        }
        int w = utf8_cells(s, n);
        cells += w > 0 ? w : 0;
        s += n;
    }
    return cells;
}
