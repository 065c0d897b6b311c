#include "display/into.h"

#include <cstring>

#include "display/char_names.h"
#include "text/buffer.h"

int col_nth_char(const char *text, int base, int into) {
    if (into < base) return into;
    int col = base;
    for (long long n = static_cast<long long>(into) - base; n > 0 && *text != '\0';) {
        int bytes;
        int w = glyph_width(text, col, &bytes);
        if (bytes > n) break; // an into value inside a character stands on it
        col += w;
        text += bytes;
        n -= bytes;
    }
    return col;
}

int into_near_col(const char *text, int base, int col) {
    if (col < 0) return base + static_cast<int>(std::strlen(text));
    if (col < base) return col;
    int into = base;
    for (int at = base; *text != '\0';) {
        int bytes;
        at += glyph_width(text, at, &bytes);
        if (at > col) break;
        text += bytes;
        into += bytes;
    }
    return into;
}

int cur_csr_col() {
    const tree_fold *f = cur_buffer->fold;
    return col_nth_char(string_of(f->cur), indent_of(f->cur), f->into);
}

int new_into_value(int col) {
    const tree_line *l = cur_buffer->fold->cur;
    return into_near_col(string_of(l), indent_of(l), col);
}

int max_into_value() {
    const tree_line *l = cur_buffer->fold->cur;
    return indent_of(l) + static_cast<int>(std::strlen(string_of(l)));
}
