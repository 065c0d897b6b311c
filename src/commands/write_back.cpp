#include "commands/write_back.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "commands/errors.h"
#include "commands/journal.h"
#include "display/into.h"
#include "display/prompt.h"
#include "display/terminal.h"
#include "host/filename.h"
#include "host/files.h"
#include "host/hangup.h"
#include "host/replace_file.h"
#include "host/rewrite_file.h"
#include "host/write_calls.h"
#include "text/buff_file.h"
#include "text/fold_file.h"

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

// Asks before a buffer that does not hold its file as it was read is written
// over that file; no or Escape raises "aborted". Asked once: the loss is
// forgotten once the buffer has been written back.
void query_loss(const BUFF *b) {
    const char *tail = nullptr;
    if (b->read_loss & RD_LOSS_PART)
        tail = " was not read whole, write anyway: ";
    else if (b->read_loss & RD_LOSS_NUL)
        tail = ": NUL bytes will be dropped, write anyway: ";
    else if (b->read_loss & RD_LOSS_SPLIT)
        tail = ": long lines will be split, write anyway: ";
    if (tail && !ask_about(b->fn, x_size - 6 - static_cast<int>(std::strlen(tail)), tail))
        error_code(ERR_ABORTED);
}

// Writes the whole buffer through the descriptor, which stays open: true
// when every byte was written.
bool write_buffer_to(const BUFF *b, int fd) {
    FILE *fp = write_calls::stream(fd, false);
    if (!fp) return false;
    bool ok = buff_write_to(b, fp) != 0;
    return std::fclose(fp) == 0 && ok;
}

// The file as it is before it is written: whether it is there, and how.
struct old_file {
    explicit old_file(const char *fn) { exists = stat(fn, &st) == 0; }
    bool exists;
    struct stat st {};
    int mode() const { return exists ? static_cast<int>(st.st_mode) : -1; }
};

// Keeps a copy of the file as its backup, when backups are on; raises
// "could not take backup of " with the name the user knows when the copy
// cannot be made.
void take_backup_copy(const char *target, const old_file &old, const char *fn) {
    if (!backups || !old.exists) return;
    const char *bak = get_bak_fn(target);
    if (bak && !copy_file(target, bak, old.mode())) error_file(ERR_NO_BACKUP, fn);
}

// Writes the file over itself: for a file with other names, in a folder that
// takes no new file, or whose owner a new file would not keep.
void write_in_place(const BUFF *b, const char *target, const old_file &old, bool append,
                    const char *fn) {
    rewrite_file out(target);
    if (!out.opened()) error_file(ERR_CANT_WRITE, fn);
    take_backup_copy(target, old, fn);
    bool written =
        (append ? out.to_end() : out.truncate()) && write_buffer_to(b, out.fd()) && out.flush();
    if (!written) error_file(ERR_CANT_WRITE, fn);
}

// Writes a new file beside the old one and renames it into its place.
void write_beside(const BUFF *b, replace_file &out, const char *target, const old_file &old,
                  bool append, bool backup_by_copy, const char *fn) {
    bool written = (!append || out.copy_old()) && write_buffer_to(b, out.fd()) && out.flush();
    if (!written) {
        out.discard(); // before the message, which the user may act on at once
        error_file(ERR_CANT_WRITE, fn);
    }
    int mode = old.mode();
    bool renamed = false;
    if (backup_by_copy) {
        take_backup_copy(target, old, fn);
    } else {
        mode = take_backup(target);
        renamed = mode != -1 && backups && get_bak_fn(target);
    }
    out.take_over(mode);
    if (!out.put_in_place()) {
        out.discard();
        if (renamed) rename_file(get_bak_fn(target), target);
        error_file(ERR_CANT_WRITE, fn);
    }
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
    bool append = (how & WB_APPEND) != 0;
    if (how & WB_ASK_READONLY) query_readonly(fn);
    if (!append) query_loss(b);
    file_prompt("writing ", fn);
    // Begun, a write is finished before a hang-up saves the work: a file
    // written in place is never left cut, a new file never left beside it.
    hangup_hold hold;

    // A symbolic link stays one: the file it leads to is written.
    const char *followed = follow_links(fn);
    if (!followed) error_file(ERR_CANT_WRITE, fn);
    std::string target = followed;
    bool is_link = target != fn;
    old_file old(target.c_str());
    if (old.exists && !S_ISREG(old.st.st_mode)) error_file(ERR_CANT_WRITE, fn);

    // The new file beside the old one is the safe way; the file is written in
    // place when every name of it must see the new text, when the folder
    // takes no new file, or when the new file could not keep the owner.
    replace_file out(target.c_str());
    bool in_place = old.exists && (old.st.st_nlink > 1 || !out.made() || !out.keeps_owner());
    if (in_place) {
        out.discard();
        write_in_place(b, target.c_str(), old, append, fn);
    } else {
        if (!out.made()) error_file(ERR_CANT_WRITE, fn);
        write_beside(b, out, target.c_str(), old, append, is_link, fn);
    }

    b->changed = 0;
    if (!append) b->read_loss = 0;
    journal_saved(b);
    if (wrlook)
        file_prompt("warning: lines that look like fold markers written to ", fn);
    else
        prompt_blank();
}
