#include "commands/setup_commands.h"

#include "commands/arguments.h"
#include "text/buffer.h"
#include "text/flags.h"

void cmd_su_visible() {
    cur_buffer->flags ^= FLAG_VISIBLE;
}

void cmd_su_autoindent() {
    cur_buffer->flags ^= FLAG_AUTOINDENT;
}

void cmd_su_insert() {
    cur_buffer->flags ^= FLAG_INSERT;
}

void cmd_su_tabs() {
    cur_buffer->flags =
        (cur_buffer->flags & ~FLAG_TABS) | (static_cast<unsigned>(arg_val[0].num) & FLAG_TABS);
}
