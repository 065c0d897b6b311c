#include "commands/typing.h"

#include "commands/cursor.h"
#include "commands/errors.h"
#include "display/into.h"
#include "display/keys.h"
#include "display/utf8.h"
#include "text/flags.h"

#include <cstring>

tree_line *editable_line() {
    tree_line *l = cur_line();
    if (line_kind(l) == LINE_END) error_code(ERR_EXPECTED_LINE);
    return l;
}

tree_line *line_for_typing() {
    tree_fold *f = cur_fold();
    if (f->cur == f->end) {
        tree_line *l = line_create_text("");
        if (!l) error_code(ERR_OUT_OF_MEMORY);
        line_insert(l, f);
        set_into(0);
        line_changed(l);
    }
    return f->cur;
}

int string_pos(const tree_line *l) {
    int p = cur_buffer->fold->into - indent_of(l);
    if (p < 0) return -1;
    int len = static_cast<int>(std::strlen(string_of(l)));
    return p < len ? p : len;
}

void splice_string(tree_line *l, int p, int remove, const char *bytes, int n) {
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

void insert_chars(const char *bytes, int n) {
    tree_line *l = line_for_typing();
    int p = string_pos(l);
    if (p < 0) {
        if (n != 1 || bytes[0] != ' ') error_code(ERR_FOLD_INDENTATION);
        line_set_indent(l, line_indent(l) + 1);
        line_changed(l);
        set_into(cur_fold()->into + 1);
        return;
    }
    splice_string(l, p, 0, bytes, n);
    set_into(indent_of(l) + p + n);
}

void insert_char(unsigned char c) {
    char byte = static_cast<char>(c);
    insert_chars(&byte, 1);
}

void overtype_chars(const char *bytes, int n) {
    tree_line *l = line_for_typing();
    int p = string_pos(l);
    if (p < 0) {
        if (n != 1 || bytes[0] != ' ') error_code(ERR_FOLD_INDENTATION);
        set_into(cur_fold()->into + 1);
        return;
    }
    splice_string(l, p, char_len(string_of(l) + p), bytes, n);
    set_into(indent_of(l) + p + n);
}

void overtype_char(unsigned char c) {
    char byte = static_cast<char>(c);
    overtype_chars(&byte, 1);
}

void type_chars_by_mode(const char *bytes, int n) {
    if (cur_buffer->flags & FLAG_INSERT) {
        insert_chars(bytes, n);
    } else {
        overtype_chars(bytes, n);
    }
}

void type_by_mode(unsigned char c) {
    char byte = static_cast<char>(c);
    type_chars_by_mode(&byte, 1);
}

void type_string(const char *text, int how) {
    if (how < 0) how = (cur_buffer->flags & FLAG_INSERT) != 0;
    for (int n; (n = char_len(text)) > 0; text += n) {
        if (how)
            insert_chars(text, n);
        else
            overtype_chars(text, n);
    }
}

int type_char(int key) {
    return run_with_recovery([key] {
        char bytes[4];
        if (key > 0 && key < 256) {
            type_by_mode(static_cast<unsigned char>(key));
        } else if (is_char_key(key)) {
            int n = utf8_encode(static_cast<unsigned>(key & ~K_CHAR), bytes);
            if (n > 0) type_chars_by_mode(bytes, n);
        }
    });
}
