#include "text/scan.h"

#include "text/alloc.h"

#include <cstring>

char *strsave(const char *text) {
    size_t size = strlen(text) + 1;
    char *copy = arena_get(size);
    if (copy) memcpy(copy, text, size);
    return copy;
}

void str_free(char *text) {
    if (text) arena_put(text, strlen(text) + 1);
}

int get_line(char *buf, FILE *fp) {
    // fgets stores its NUL after the last byte it read, so a mark in the last
    // byte of the buffer tells whether a full piece was read even when the
    // text holds a NUL of its own.
    buf[LINE_MAX_TEXT] = 1;
    if (!fgets(buf, LINE_BUF_SIZE, fp)) return 0;
    if (buf[LINE_MAX_TEXT] == 0) {
        if (buf[LINE_MAX_TEXT - 1] == '\n') {
            buf[LINE_MAX_TEXT - 1] = 0;
        } else {
            int c = getc(fp);
            if (c != '\n' && c != EOF) ungetc(c, fp);
        }
        return 1;
    }
    size_t n = strlen(buf);
    if (n > 0 && buf[n - 1] == '\n') buf[n - 1] = 0;
    return 1;
}

int put_line(const char *text, FILE *fp) {
    if (fputs(text, fp) == EOF) return 0;
    return putc('\n', fp) != EOF;
}

const char *skip_space(const char *p) {
    while (is_space_byte(static_cast<unsigned char>(*p))) p++;
    return p;
}

namespace {

bool is_digit_byte(char c) {
    return c >= '0' && c <= '9';
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

const char *scan_num(const char *p, int *result) {
    unsigned value = 0;
    for (; is_digit_byte(*p); p++) value = value * 10 + static_cast<unsigned>(*p - '0');
    *result = static_cast<int>(value);
    return p;
}

const char *scan_num_hex(const char *p, int *result) {
    if (*p != '&') return scan_num(p, result);
    unsigned value = 0;
    int digit;
    for (p++; (digit = hex_value(*p)) >= 0; p++) value = value * 16 + static_cast<unsigned>(digit);
    *result = static_cast<int>(value);
    return p;
}

const char *scan_str(const char *p, char *out) {
    while (*p && !is_space_byte(static_cast<unsigned char>(*p))) *out++ = *p++;
    *out = 0;
    return p;
}

const char *scan_quoted_str(const char *p, char *out) {
    *out = 0;
    if (*p != '"') return nullptr;
    for (p++; *p != '"'; p++) {
        if (*p == '\\') p++;
        if (!*p) break;
        *out++ = *p;
    }
    *out = 0;
    return *p ? p + 1 : nullptr;
}

char *print_num(char *out, unsigned value) {
    char digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    while (n) *out++ = digits[--n];
    return out;
}

char *print_str(char *out, const char *text) {
    size_t n = strlen(text);
    memcpy(out, text, n);
    return out + n;
}
