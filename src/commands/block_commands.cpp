#include "commands/block_commands.h"

#include "commands/arguments.h"
#include "commands/block.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/translate.h"
#include "commands/undelete.h"
#include "text/flags.h"

#include <cstring>

namespace {

// The largest fold indent that shifting a block right makes.
constexpr int MAX_SHIFTED_INDENT = 500;

// One step of entab and detab, from the buffer's tab size: a text line's
// prefix of that many spaces and a fold's indent step of that size; with
// real tabs a tab character and 8.
struct tab_step_size {
    char prefix[LINE_BUF_SIZE];
    size_t prefix_len;
    int indent;
};

tab_step_size tab_step() {
    tab_step_size t{};
    int size = static_cast<int>(cur_buffer->flags & FLAG_TABS);
    if (size > 0) {
        std::memset(t.prefix, ' ', static_cast<size_t>(size));
        t.prefix_len = static_cast<size_t>(size);
        t.indent = size;
    } else {
        t.prefix[0] = '\t';
        t.prefix_len = 1;
        t.indent = 8;
    }
    return t;
}

void go_to_mark(int mark) {
    if (mark < 0) error_code(ERR_NOT_FOUND);
    step_to(mark);
    into_from_col();
}

// Calls shift(line, is_cursor_line) for each line of the block, first to
// last, marking each changed. The current line does not move.
template <class Shift> void for_each_block_line(marked_block b, Shift shift) {
    tree_fold *f = cur_fold();
    tree_line *l = list_line(f, b.first);
    for (int i = b.first; i < b.end; i++, l = line_next(l)) {
        shift(l, i == f->cur_index);
        line_changed(l);
    }
}

bool is_text_with_text(const tree_line *l) {
    return line_kind(l) == LINE_TEXT && line_text(l)[0] != '\0';
}

// The cursor's into value moved by delta, not below 0.
void move_into(int delta) {
    int into = cur_fold()->into + delta;
    set_into(into < 0 ? 0 : into);
}

} // namespace

void cmd_b_mark_1() {
    tree_fold *f = cur_fold();
    fold_set_marks(f, f->cur_index, f->mark2);
}

void cmd_b_mark_2() {
    tree_fold *f = cur_fold();
    fold_set_marks(f, f->mark1, f->cur_index);
}

void cmd_b_unmark() {
    fold_set_marks(cur_fold(), -1, -1);
}

void cmd_b_to_mark_1() {
    go_to_mark(cur_fold()->mark1);
}

void cmd_b_to_mark_2() {
    go_to_mark(cur_fold()->mark2);
}

void cmd_b_fold() {
    marked_block b = block_of(cur_fold());
    owned_line fold(line_create_fold(arg_val[0].str, arg_val[2].num, arg_val[1].num));
    if (!fold) error_code(ERR_OUT_OF_MEMORY);
    block_move_into(b, fold.get());
    tree_line *l = fold.release();
    tree_fold *f = cur_fold();
    line_insert(l, f);
    fold_set_marks(f, -1, -1);
    line_changed(l);
    cursor_to_line_end();
}

void cmd_b_unfold() {
    tree_fold *f = cur_fold();
    if (line_kind(f->cur) != LINE_FOLD) error_code(ERR_EXPECTED_FOLD);
    owned_line emptied(line_remove(f));
    block_unpack_marked(emptied.get());
    cursor_to_line_start();
    buffer_changed();
}

void cmd_b_entab() {
    tab_step_size t = tab_step();
    marked_block b = block_of(cur_fold());
    // Every line is checked before any moves, so that a line too long leaves
    // the block as it was.
    const tree_line *l = list_line(cur_fold(), b.first);
    for (int i = b.first; i < b.end; i++, l = line_next(l))
        if (is_text_with_text(l) && std::strlen(line_text(l)) + t.prefix_len > LINE_MAX_TEXT)
            error_code(ERR_LINE_TOO_LONG);

    int cursor_delta = 0;
    for_each_block_line(b, [&](tree_line *line, bool is_cursor_line) {
        if (is_text_with_text(line)) {
            char shifted[LINE_BUF_SIZE];
            std::memcpy(shifted, t.prefix, t.prefix_len);
            std::strcpy(shifted + t.prefix_len, line_text(line));
            if (!line_set_string(line, shifted)) error_code(ERR_OUT_OF_MEMORY);
            if (is_cursor_line) cursor_delta = static_cast<int>(t.prefix_len);
        } else if (line_kind(line) == LINE_FOLD || line_kind(line) == LINE_VIRT) {
            int indent = line_indent(line);
            if (indent <= MAX_SHIFTED_INDENT - t.indent) {
                line_set_indent(line, indent + t.indent);
                if (is_cursor_line) cursor_delta = t.indent;
            }
        }
    });
    if (cursor_delta) move_into(cursor_delta);
}

void cmd_b_detab() {
    tab_step_size t = tab_step();
    marked_block b = block_of(cur_fold());
    int cursor_delta = 0;
    for_each_block_line(b, [&](tree_line *line, bool is_cursor_line) {
        if (line_kind(line) == LINE_TEXT) {
            const char *text = line_text(line);
            if (std::strncmp(text, t.prefix, t.prefix_len) != 0) return;
            char rest[LINE_BUF_SIZE];
            std::strcpy(rest, text + t.prefix_len);
            if (!line_set_string(line, rest)) error_code(ERR_OUT_OF_MEMORY);
            if (is_cursor_line) cursor_delta = -static_cast<int>(t.prefix_len);
        } else if (line_kind(line) == LINE_FOLD || line_kind(line) == LINE_VIRT) {
            int indent = line_indent(line);
            if (indent < t.indent) return;
            line_set_indent(line, indent - t.indent);
            if (is_cursor_line) cursor_delta = -t.indent;
        }
    });
    move_into(cursor_delta);
}

void cmd_b_trans() {
    translation t;
    trans_prepare(arg_val[0].str, arg_val[1].str, &t);
    marked_block b = block_of(cur_fold());
    for_each_block_line(b, [&](tree_line *line, bool) { trans_line(line, &t); });
}

void cmd_b_delete() {
    marked_block b = block_of(cur_fold());
    owned_line holder = make_holder();
    block_move_into(b, holder.get());
    undel_push_block(holder.release());
    fold_set_marks(cur_fold(), -1, -1);
    buffer_changed();
}

void cmd_b_yank() {
    marked_block b = block_of(cur_fold());
    owned_line holder = make_holder();
    if (!block_copy_into(b, holder.get())) error_code(ERR_OUT_OF_MEMORY);
    undel_push_block(holder.release());
}
