#include "commands/language_commands.h"

#include <cstring>

#include "commands/arguments.h"
#include "commands/errors.h"
#include "display/screen.h"
#include "text/flags.h"
#include "text/span_state.h"

void cmd_lg_create() {
    unsigned flags = (static_cast<unsigned>(arg_val[7].num) & FLAG_TABS) |
                     (arg_val[4].num ? FLAG_VISIBLE : 0) | (arg_val[5].num ? FLAG_AUTOINDENT : 0) |
                     (arg_val[6].num ? FLAG_INSERT : 0);
    if (!lang_create(arg_val[0].str, arg_val[1].str, arg_val[2].str, arg_val[3].str, arg_val[8].str,
                     flags))
        error_code(ERR_OUT_OF_MEMORY);
}

void cmd_lg_delete() {
    if (!lang_delete(arg_val[0].lang)) error_code(ERR_LANGUAGE_IN_USE);
}

void cmd_lg_select() {
    language_def *lang = arg_val[0].lang;
    cur_buffer->lang = lang;
    cur_buffer->flags = lang->flags;
    // The states and the colours shown were those of other rules.
    span_forget(cur_buffer);
    scn_forget_rows();
}

void cmd_lg_rename() {
    std::strcpy(arg_val[0].lang->name, arg_val[1].str);
}
