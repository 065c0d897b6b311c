#include "commands/char_commands.h"

#include "commands/arguments.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/typing.h"
#include "commands/undelete.h"
#include "display/into.h"
#include "display/utf8.h"
#include "text/flags.h"
#include "text/owned.h"

#include <cstring>

// The into value one character before or after the cursor's, which is
// above 0 or below max_into_value(): in the indentation and past the string
// a step is one column.
static int into_before() {
    const tree_line *l = cur_line();
    int p = cur_fold()->into - indent_of(l);
    const char *s = string_of(l);
    if (p <= 0 || p > static_cast<int>(std::strlen(s))) return cur_fold()->into - 1;
    return indent_of(l) + char_before(s, p);
}

static int into_after() {
    const tree_line *l = cur_line();
    int p = cur_fold()->into - indent_of(l);
    int n = p < 0 ? 1 : char_len(string_of(l) + p);
    return cur_fold()->into + (n > 0 ? n : 1);
}

bool char_left() {
    tree_fold *f = cur_fold();
    if (f->into > 0) {
        set_into(into_before());
    } else if (f->cur != f->first) {
        step_prev();
        row_up();
        cursor_to_line_end();
    } else {
        return false;
    }
    return true;
}

bool char_right() {
    tree_fold *f = cur_fold();
    if (f->into < max_into_value()) {
        set_into(into_after());
    } else if (f->cur != f->end) {
        step_next();
        row_down();
        cursor_to_line_start();
    } else {
        return false;
    }
    return true;
}

void cmd_c_left() {
    char_left();
}

void cmd_c_right() {
    char_right();
}

void cmd_c_insert() {
    if (arg_val[0].chr) insert_char(arg_val[0].chr);
}

void cmd_c_overtype() {
    if (arg_val[0].chr) overtype_char(arg_val[0].chr);
}

void cmd_c_type() {
    if (arg_val[0].chr) type_by_mode(arg_val[0].chr);
}

static int length_of(const tree_line *l) {
    return static_cast<int>(std::strlen(string_of(l)));
}

// The fold line moves left by one column, if it can.
static int unindent(tree_line *l) {
    int indent = line_indent(l);
    if (indent <= 0) return 0;
    line_set_indent(l, indent - 1);
    line_changed(l);
    return 1;
}

// Removes and frees the current line, which the caller has emptied into
// another. A set mark 1 on it moves to the line before it.
static void drop_joined_line() {
    tree_fold *f = cur_fold();
    bool marked = f->mark1 == f->cur_index;
    line_delete(line_remove(f));
    if (marked) fold_set_marks(f, f->cur_index - 1, f->mark2);
    buffer_changed();
}

void cmd_c_delete_left() {
    tree_line *l = editable_line();
    tree_fold *f = cur_fold();
    int base = indent_of(l);
    if (f->into > base) {
        int p = string_pos(l);
        if (p == 0) return; // an empty string: nothing before the cursor
        int from = char_before(string_of(l), p);
        char gone[4];
        std::memcpy(gone, string_of(l) + from, static_cast<size_t>(p - from));
        splice_string(l, from, p - from, nullptr, 0);
        undel_push_char_left(gone, p - from);
        set_into(base + from);
    } else if (f->into > 0) {
        if (unindent(l)) set_into(f->into - 1);
    } else if (line_kind(l) == LINE_TEXT && f->cur != f->first) {
        tree_line *prev = line_prev(l);
        int prev_len = length_of(prev);
        splice_string(prev, prev_len, 0, line_text(l), length_of(l));
        drop_joined_line();
        step_prev();
        set_into(indent_of(prev) + prev_len);
        row_up();
    }
}

void cmd_c_delete_right() {
    tree_line *l = editable_line();
    int p = string_pos(l);
    if (p < 0) {
        unindent(l);
    } else if (p < length_of(l)) {
        int n = char_len(string_of(l) + p);
        char gone[4];
        std::memcpy(gone, string_of(l) + p, static_cast<size_t>(n));
        splice_string(l, p, n, nullptr, 0);
        undel_push_char_right(gone, n);
    } else if (line_kind(line_next(l)) == LINE_TEXT) {
        splice_string(l, p, 0, line_text(line_next(l)), length_of(line_next(l)));
        step_next();
        drop_joined_line();
        step_prev();
    }
}

void cmd_c_delete_eol() {
    tree_line *l = editable_line();
    int p = string_pos(l);
    if (p < 0) return;
    owned_string tail(strsave(string_of(l) + p));
    if (!tail) error_code(ERR_OUT_OF_MEMORY);
    int len = length_of(l);
    if (p < len) splice_string(l, p, len - p, nullptr, 0);
    undel_push_string_owned(tail.release());
}

void cmd_c_tab() {
    tree_line *l = line_for_typing();
    tree_fold *f = cur_fold();
    unsigned flags = cur_buffer->flags;
    int size = static_cast<int>(flags & FLAG_TABS);
    bool insert = flags & FLAG_INSERT;
    int p = string_pos(l);
    if (p < 0) {
        int n = 1;
        if (insert) {
            int stop = size ? size : 8;
            n = stop - f->into % stop;
            line_set_indent(l, line_indent(l) + n);
            line_changed(l);
        }
        set_into(f->into + n);
        return;
    }
    char spaces[LINE_BUF_SIZE];
    int n = 1;
    if (size) {
        n = size - cur_csr_col() % size;
        std::memset(spaces, ' ', n);
    } else {
        spaces[0] = '\t';
    }
    int replaced = insert ? 0 : char_len(string_of(l) + p);
    splice_string(l, p, replaced, spaces, n);
    set_into(indent_of(l) + p + n);
}

void cmd_cs_insert() {
    type_string(arg_val[0].str, 1);
}

void cmd_cs_overtype() {
    type_string(arg_val[0].str, 0);
}

void cmd_cs_type() {
    type_string(arg_val[0].str, -1);
}
