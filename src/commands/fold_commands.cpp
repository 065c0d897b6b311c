#include "commands/fold_commands.h"

#include "commands/arguments.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/vfold.h"
#include "display/prompt.h"
#include "display/rows.h"
#include "text/fold_nav.h"

void cmd_f_start() {
    step_first();
    cursor_to_line_start();
    keep_row_top();
}

void cmd_f_end() {
    step_last();
    prompt_blank();
    cursor_to_line_start();
    keep_row_bottom();
}

void cmd_f_open() {
    tree_line *l = cur_line();
    if (line_kind(l) != LINE_FOLD && line_kind(l) != LINE_VIRT)
        error_code(ERR_EXPECTED_FOLD_OR_VFOLD);
    line_set_open(l, arg_val[0].num);
    line_changed(l);
}

void cmd_f_in() {
    tree_line *l = cur_line();
    switch (line_kind(l)) {
    case LINE_FOLD: fold_enter(cur_buffer); break;
    case LINE_VIRT: vfold_enter(l); break;
    default: error_code(ERR_EXPECTED_FOLD_OR_VFOLD);
    }
    cur_fold()->row = CURSOR_ROW_TOP;
}

void cmd_f_out() {
    if (cur_fold()->parent)
        fold_leave(cur_buffer);
    else if (cur_buffer->parent == -1)
        error_code(ERR_NO_PARENT);
    else
        vfold_close(0);
    cur_fold()->row = middle_row();
}
