#include "commands/tag_commands.h"

#include <climits>

#include "commands/arguments.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/goto_line.h"
#include "host/filename.h"
#include "text/fold_nav.h"

void cmd_t_line() {
    tree_line *l = cur_line();
    line_toggle_tag(l);
    line_set_changed(l);
}

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Copies the file name at p into name (LINE_BUF_SIZE bytes, enough for any
// line) and returns where it ended. A ":" as its second character stays in
// it, for a drive letter.
const char *scan_file_name(const char *p, char *name) {
    int n = 0;
    for (; p[n]; n++) {
        char c = p[n];
        if (is_space_byte(static_cast<unsigned char>(c)) || c == '(' || c == '"' ||
            (c == ':' && n != 1))
            break;
        name[n] = c;
    }
    name[n] = '\0';
    return p + n;
}

// The first number at or after p, or -1 when there is none. Digits beyond
// what an int holds give INT_MAX rather than wrapping round to a small number
// that would name the wrong line.
long long scan_line_number(const char *p) {
    while (*p && !is_digit(*p)) p++;
    if (!*p) return -1;
    long long n = 0;
    for (; is_digit(*p); p++) n = n > INT_MAX ? n : n * 10 + (*p - '0');
    return n > INT_MAX ? INT_MAX : n;
}

// Tags the line of the buffer numbered line_no, leaving the buffer on the
// line it was on.
void tag_line_of(text_buffer *b, line_number line_no) {
    int back = b->line_no;
    goto_line(b, line_no);
    tree_line *l = b->fold->cur;
    if (!line_is_tagged(l)) line_toggle_tag(l);
    goto_line(b, {back});
}

} // namespace

void cmd_t_error() {
    const tree_line *l = cur_line();
    if (line_kind(l) == LINE_END) error_code(ERR_EXPECTED_LINE);
    const char *s = string_of(l);
    int base = indent_of(l), into = cur_fold()->into;
    // The cursor may stand past the end of the text.
    for (int i = base; i < into && *s; i++) s++;
    const char *p = skip_space(s);
    if (*p == '"') p++;
    char name[LINE_BUF_SIZE];
    p = scan_file_name(p, name);
    // An empty name would find the buffer without a file.
    const char *fn = name[0] ? get_os_fn(name) : nullptr;
    if (!fn) error_file(ERR_BAD_FILENAME, name);
    text_buffer *b = lookup_buff_text(fn);
    if (!b) error_file(ERR_NOT_EDITING, fn);
    long long number = scan_line_number(p);
    if (number < 0) error_code(ERR_NO_LINE_NUMBER);
    // Lines 1 to deep_count - 1: the top list's own end line is no line of
    // the file.
    if (number < 1 || number >= b->top->deep_count) error_code(ERR_BAD_LINE_NUMBER);
    tag_line_of(b, {static_cast<int>(number - 1)});
}

void cmd_t_goto() {
    int forwards = arg_val[0].num;
    tree_pos p = buffer_pos(cur_buffer);
    // Into every fold, over virtual fold lines, never above the top list.
    tree_walk_rules rules;
    bool found = false;
    while (!found && (forwards ? walk_forwards(&p, rules) : walk_backwards(&p, rules)))
        found = line_is_tagged(p.fold->cur);
    set_buffer_pos(cur_buffer, p);
    cursor_to_line_start();
    if (!found) error_code(ERR_NOT_FOUND);
    if (forwards)
        keep_row_bottom();
    else
        keep_row_top();
}
