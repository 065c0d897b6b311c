#include "commands/line_commands.h"

#include "commands/arguments.h"
#include "commands/block.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/executor.h"
#include "commands/goto_line.h"
#include "commands/translate.h"
#include "commands/undelete.h"
#include "display/into.h"
#include "display/prompt.h"
#include "text/flags.h"

#include <cstring>

namespace {

tree_line *made(tree_line *l) {
    if (!l) error_code(ERR_OUT_OF_MEMORY);
    return l;
}

// The new line goes before the current one and becomes current, at the same
// index and line number.
void insert_line(tree_line *l) {
    line_insert(l, cur_fold());
    line_changed(l);
    cursor_to_line_end();
}

// The number of spaces and tabs at the start of the first n bytes of s.
size_t leading_blanks(const char *s, size_t n) {
    size_t w = 0;
    while (w < n && (s[w] == ' ' || s[w] == '\t')) w++;
    return w;
}

void split_at_end_line() {
    insert_line(made(line_create_text("")));
    step_next();
    cursor_to_line_start();
}

// False, with nothing done, when the cursor is in a fold line's indentation.
bool split_line() {
    tree_line *l = cur_line();
    int base = indent_of(l);
    int into = cur_fold()->into;
    if (into < base) return false;
    const char *s = string_of(l);
    size_t len = std::strlen(s);
    size_t k = static_cast<size_t>(into - base);
    if (k > len) k = len;
    size_t w = 0;
    if (line_kind(l) == LINE_TEXT && (cur_buffer->flags & FLAG_AUTOINDENT))
        w = leading_blanks(s, k);

    char head[LINE_BUF_SIZE];
    char rest[LINE_BUF_SIZE];
    std::memcpy(head, s, k);
    head[k] = '\0';
    std::memcpy(rest, s, w);
    std::memcpy(rest + w, s + k, len - k + 1);
    // Both allocations come before the line changes: the new line, then the
    // shortened string, which replaces the old one only when it could be made.
    owned_line next(made(line_create_text(rest)));
    if (!line_set_string(l, head)) error_code(ERR_OUT_OF_MEMORY);
    line_changed(l);
    step_next();
    tree_line *added = next.release();
    line_insert(added, cur_fold());
    line_changed(added);
    set_into(static_cast<int>(w));
    return true;
}

} // namespace

void cmd_l_insert() {
    insert_line(made(line_create_text(arg_val[0].str)));
}

void cmd_l_insert_f() {
    insert_line(made(line_create_fold(arg_val[0].str, arg_val[2].num, arg_val[1].num)));
}

void cmd_l_insert_v() {
    insert_line(made(line_create_virt(arg_val[0].str, arg_val[2].num, arg_val[1].num)));
}

void cmd_l_del() {
    tree_fold *f = cur_fold();
    if (f->cur == f->end) return;
    undel_push_line(line_remove(f));
    cursor_to_line_start();
    buffer_changed();
}

void cmd_l_yank() {
    tree_line *l = cur_line();
    if (l == cur_fold()->end) return;
    undel_push_line(copy_deep(l).release());
}

void cmd_l_up() {
    if (cur_fold()->cur_index == 0) return;
    step_prev();
    into_from_col();
    keep_row_top();
}

void cmd_l_down() {
    if (cur_line() == cur_fold()->end) return;
    step_next();
    into_from_col();
    keep_row_bottom();
}

void cmd_l_start() {
    cursor_to_line_start();
}

void cmd_l_end() {
    cursor_to_line_end();
}

void cmd_l_goto() {
    unsigned n = static_cast<unsigned>(arg_val[0].num);
    char message[LINE_BUF_SIZE];
    char *p = print_num(print_str(message, "going to line "), n);
    *p = '\0';
    prompt(message);
    unsigned last = static_cast<unsigned>(cur_buffer->top->deep_count - 1);
    goto_line(cur_buffer, {static_cast<int>(n >= 1 && n - 1 <= last ? n - 1 : last)});
    cursor_to_line_start();
    prompt_blank();
}

void cmd_l_split() {
    if (cur_line() == cur_fold()->end)
        split_at_end_line();
    else if (!split_line())
        return;
    buffer_changed();
    row_down();
}

void cmd_l_trans() {
    translation t;
    trans_prepare(arg_val[0].str, arg_val[1].str, &t);
    tree_line *l = cur_line();
    if (l == cur_fold()->end) return;
    trans_line(l, &t);
    line_changed(l);
}

void cmd_l_exec() {
    tree_line *l = cur_line();
    if (line_kind(l) != LINE_TEXT) error_code(ERR_EXPECTED_TEXT_LINE);
    // exec_commands runs a copy, so the commands may change or delete the line.
    exec_commands(line_text(l));
}
