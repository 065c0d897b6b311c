#include "commands/write_back.h"

#include <cstdio>

#include "commands/errors.h"
#include "commands/journal.h"
#include "display/into.h"
#include "display/prompt.h"
#include "display/terminal.h"
#include "host/filename.h"
#include "host/files.h"
#include "host/replace_file.h"
#include "text/buff_file.h"

int backups = 1;

namespace {

// Asks the question made of as much of the name as fits in room columns and
// the tail: the answer, or "aborted" on Escape.
int ask_about(const char *fn, int room, const char *tail) {
    char question[2 * LINE_BUF_SIZE];
    int n = into_near_col(fn, 0, room < 0 ? 0 : room);
    std::snprintf(question, sizeof question, "%.*s%s", n, fn, tail);
    int yes = 0;
    if (!prompt_yn(question, &yes)) error_code(ERR_ABORTED);
    return yes;
}

} // namespace

int query_write(BUFF *b, int force) {
    if (!b->changed) return 0;
    if (force) return 1;
    if (!b->fn[0]) return 0;
    return ask_about(b->fn, x_size - 27, " not written, write: ");
}

void query_readonly(const char *fn) {
    if (is_readonly(fn) && !ask_about(fn, x_size - 28, " readonly, overwrite: "))
        error_code(ERR_ABORTED);
}

void warn_readonly(const char *fn) {
    if (is_readonly(fn)) file_prompt("warning: file readonly ", fn);
}

int take_backup(const char *fn) {
    int mode = get_filemode(fn);
    if (mode == -1 || !backups) return mode;
    const char *bak = get_bak_fn(fn);
    // The rename replaces an older backup in one step, so that a failure
    // leaves that backup in place.
    if (bak && !rename_file(fn, bak)) error_file(ERR_NO_BACKUP, fn);
    return mode;
}

void write_back(BUFF *b, int how) {
    const char *fn = b->fn;
    if (how & WB_ASK_READONLY) query_readonly(fn);
    file_prompt("writing ", fn);

    replace_file out(fn);
    if (!out.made()) error_file(ERR_CANT_WRITE, fn);
    bool append = (how & WB_APPEND) != 0;
    bool written =
        (!append || out.copy_old()) && buff_write(b, out.name(), append ? 1 : 0) && out.flush();
    if (!written) {
        out.discard(); // before the message, which the user may act on at once
        error_file(ERR_CANT_WRITE, fn);
    }

    int mode = take_backup(fn);
    out.take_over(mode);
    if (!out.put_in_place()) {
        out.discard();
        const char *bak = mode != -1 && backups ? get_bak_fn(fn) : nullptr;
        if (bak) rename_file(bak, fn);
        error_file(ERR_CANT_WRITE, fn);
    }
    b->changed = 0;
    journal_saved(b);
    prompt_blank();
}
