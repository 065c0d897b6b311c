#include "commands/buffer_commands.h"

#include <cstring>

#include "commands/arguments.h"
#include "commands/buffer_file.h"
#include "commands/errors.h"
#include "commands/journal.h"
#include "commands/offer_write.h"
#include "commands/write_back.h"
#include "display/prompt.h"
#include "host/filename.h"
#include "text/buff_file.h"
#include "text/fold_file.h"

namespace {

// The host name of a typed file name into fn (LINE_BUF_SIZE bytes): "" for
// "", else get_os_fn's, or "bad filename " with the name.
void host_name(const char *typed, char *fn) {
    const char *os = typed[0] ? get_os_fn(typed) : "";
    if (!os) error_file(ERR_BAD_FILENAME, typed);
    std::strcpy(fn, os);
}

} // namespace

void cmd_bf_create() {
    char fn[LINE_BUF_SIZE];
    host_name(arg_val[0].str, fn);
    int read_too = arg_val[1].num, select_too = arg_val[2].num;
    text_buffer *b = buffer_for_file(fn, -1);
    if (read_too) read_buffer_file(b);
    if (select_too) cur_buffer = b;
}

void cmd_bf_delete() {
    text_buffer *b = arg_val[0].buff;
    offer_write(b);
    if (!buff_delete(b)) error_code(ERR_DELETE_CURRENT_BUFFER);
}

void cmd_bf_select() {
    cur_buffer = arg_val[0].buff;
}

void cmd_bf_rename() {
    text_buffer *b = arg_val[0].buff;
    char fn[LINE_BUF_SIZE];
    host_name(arg_val[1].str, fn);
    std::strcpy(b->fn, fn);
    b->read_loss = 0; // what the read lost, and who wrote it, concerned the old file
    b->written_by_other = 0;
    b->changed = 1;
    journal_unsaved(b);
}

void cmd_bf_read() {
    read_buffer_file(arg_val[0].buff);
}

void cmd_bf_write() {
    write_back(arg_val[0].buff, WB_ASK_READONLY | (arg_val[1].num ? WB_APPEND : 0));
}
