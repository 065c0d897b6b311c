#include "commands/other_commands.h"

#include "commands/arguments.h"
#include "commands/editor_state.h"
#include "commands/write_back.h"
#include "display/prompt.h"
#include "display/screen.h"
#include "text/buffer.h"

void cmd_exit() {
    if (!arg_val[0].num) return;
    for (BUFF *b : buffs) {
        if (b && query_write(b, 0)) write_back(b, WB_ASK_READONLY);
    }
    prompt_blank();
    ret_code = 0;
    exit_flag = 1;
}

void cmd_abort() {
    if (!arg_val[0].num) return;
    ret_code = 1;
    exit_flag = 1;
}

void cmd_redraw() {
    refresh_all();
}

void cmd_backups() {
    backups = arg_val[0].num;
    prompt(backups ? "backups enabled" : "backups disabled");
}
