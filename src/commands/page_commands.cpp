#include "commands/page_commands.h"

#include "commands/cursor.h"
#include "commands/line_commands.h"
#include "display/prompt.h"
#include "display/rows.h"

static int page_size() {
    return cursor_rows() > 1 ? cursor_rows() : 1;
}

void cmd_p_up() {
    tree_fold *f = cur_fold();
    int n = page_size();
    if (f->cur_index >= n) {
        step_to(f->cur_index - n);
        into_from_col();
    } else {
        step_first();
        cursor_to_line_start();
        keep_row_top();
    }
}

void cmd_p_down() {
    tree_fold *f = cur_fold();
    int n = page_size();
    if (f->cur_index + n < f->line_count) {
        step_to(f->cur_index + n);
        into_from_col();
    } else {
        step_last();
        prompt_blank();
        cursor_to_line_start();
        keep_row_bottom();
    }
}

void cmd_p_scroll_up() {
    if (cur_fold()->row == CURSOR_ROW_TOP) cmd_l_down();
    row_up();
}

void cmd_p_scroll_down() {
    if (cur_fold()->row == cursor_row_bottom()) cmd_l_up();
    row_down();
}
