#include "commands/typing.h"

#include "commands/cursor.h"
#include "commands/errors.h"
#include "display/into.h"
#include "text/flags.h"

#include <cstring>

LINE *editable_line() {
    LINE *l = cur_line();
    if (line_kind(l) == LINE_END) error_code(ERR_EXPECTED_LINE);
    return l;
}

LINE *line_for_typing() {
    FOLD *f = cur_fold();
    if (f->cur == f->end) {
        LINE *l = line_create_text("");
        if (!l) error_code(ERR_OUT_OF_MEMORY);
        line_insert(l, f);
        set_into(0);
        line_changed(l);
    }
    return f->cur;
}

int string_pos(const LINE *l) {
    int p = cur_buffer->fold->into - indent_of(l);
    if (p < 0) return -1;
    int len = static_cast<int>(std::strlen(string_of(l)));
    return p < len ? p : len;
}

void splice_string(LINE *l, int p, int remove, const char *bytes, int n) {
    const char *s = string_of(l);
    int len = static_cast<int>(std::strlen(s));
    if (len - remove + n > LINE_MAX_TEXT) error_code(ERR_LINE_TOO_LONG);
    char out[LINE_BUF_SIZE];
    std::memcpy(out, s, p);
    if (n) std::memcpy(out + p, bytes, n);
    std::memcpy(out + p + n, s + p + remove, len - p - remove + 1);
    if (!line_set_string(l, out)) error_code(ERR_OUT_OF_MEMORY);
    line_changed(l);
}

void insert_char(unsigned char c) {
    LINE *l = line_for_typing();
    int p = string_pos(l);
    if (p < 0) {
        if (c != ' ') error_code(ERR_FOLD_INDENTATION);
        line_set_indent(l, line_indent(l) + 1);
        line_changed(l);
        set_into(cur_fold()->into + 1);
        return;
    }
    char byte = static_cast<char>(c);
    splice_string(l, p, 0, &byte, 1);
    set_into(indent_of(l) + p + 1);
}

void overtype_char(unsigned char c) {
    LINE *l = line_for_typing();
    int p = string_pos(l);
    if (p < 0) {
        if (c != ' ') error_code(ERR_FOLD_INDENTATION);
        set_into(cur_fold()->into + 1);
        return;
    }
    char byte = static_cast<char>(c);
    splice_string(l, p, string_of(l)[p] != '\0', &byte, 1);
    set_into(indent_of(l) + p + 1);
}

void type_by_mode(unsigned char c) {
    if (cur_buffer->flags & FLAG_INSERT) {
        insert_char(c);
    } else {
        overtype_char(c);
    }
}

int type_char(int key) {
    return run_with_recovery([key] {
        if (key > 0 && key < 256) type_by_mode(static_cast<unsigned char>(key));
    });
}
