#include "display/into.h"

#include <cstring>

#include "display/char_names.h"
#include "text/buffer.h"

// Columns and indents stay within this of 0, so sums of them fit an int.
constexpr int COL_LIMIT = 1 << 24;

int col_nth_char(const char *text, int base, int into) {
    if (into < base) return into;
    int col = base;
    for (long long n = static_cast<long long>(into) - base; n > 0 && *text != '\0'; n--, text++)
        col += len_char_name(static_cast<unsigned char>(*text), col);
    return col;
}

int into_near_col(const char *text, int base, int col) {
    if (col < 0) return base + static_cast<int>(std::strlen(text));
    if (col < base) return col;
    int into = base;
    for (int at = base; *text != '\0'; text++, into++) {
        at += len_char_name(static_cast<unsigned char>(*text), at);
        if (at > col) break;
    }
    return into;
}

static int held(int indent) {
    return indent < -COL_LIMIT ? -COL_LIMIT : indent > COL_LIMIT ? COL_LIMIT : indent;
}

int indent_of(const LINE *l) {
    switch (line_kind(l)) {
    case LINE_FOLD: return held(line_fold(l)->indent) + 4;
    case LINE_VIRT: return held(line_virt(l)->indent) + 4;
    default: return 0;
    }
}

const char *string_of(const LINE *l) {
    switch (line_kind(l)) {
    case LINE_TEXT: return line_text(l);
    case LINE_FOLD: return line_fold(l)->name;
    case LINE_VIRT: return line_virt(l)->name;
    default: return "";
    }
}

int cur_csr_col() {
    const FOLD *f = cur_buffer->fold;
    return col_nth_char(string_of(f->cur), indent_of(f->cur), f->into);
}

int new_into_value(int col) {
    const LINE *l = cur_buffer->fold->cur;
    return into_near_col(string_of(l), indent_of(l), col);
}

int max_into_value() {
    const LINE *l = cur_buffer->fold->cur;
    return indent_of(l) + static_cast<int>(std::strlen(string_of(l)));
}
