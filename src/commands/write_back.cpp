#include "commands/write_back.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "commands/errors.h"
#include "commands/journal.h"
#include "commands/same_file.h"
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

// For the questions whose "yes" gives something up: "no" comes first, so
// that Return keeps everything.
prompt_option no_yes_opts[2] = {{"no", 0, 0, 0}, {"yes", 1, 0, 0}};

// Asks the question made of as much of the name as fits in room columns and
// the tail, offering the choices in their order, the first highlighted: the
// value chosen, or "aborted" on Escape.
int ask_about(const char *fn, int room, const char *tail, prompt_option *choices = yes_no_opts) {
    char question[2 * LINE_BUF_SIZE];
    int n = into_near_col(fn, 0, room < 0 ? 0 : room);
    std::snprintf(question, sizeof question, "%.*s%s", n, fn, tail);
    prompt_option *chosen = nullptr;
    if (!prompt_opt(question, &chosen, choices, 2, 0)) error_code(ERR_ABORTED);
    return chosen->value;
}

// Asks before a buffer that does not hold its file as it was read is written
// over that file; no, Return or Escape raises "aborted". Asked once: the loss
// is forgotten once the buffer has been written back.
void query_loss(const text_buffer *b) {
    const char *tail = nullptr;
    if (b->read_loss & RD_LOSS_PART)
        tail = " was not read whole, write anyway: ";
    else if (b->read_loss & RD_LOSS_NUL)
        tail = ": NUL bytes will be dropped, write anyway: ";
    else if (b->read_loss & RD_LOSS_SPLIT)
        tail = ": long lines will be split, write anyway: ";
    if (tail &&
        !ask_about(b->fn, x_size - 6 - static_cast<int>(std::strlen(tail)), tail, no_yes_opts))
        error_code(ERR_ABORTED);
}

// Writes the whole text through the descriptor, which stays open: true when
// every byte was written.
bool write_text(const text_writer &text, int fd) {
    FILE *fp = write_calls::stream(fd, false);
    if (!fp) return false;
    bool ok = text(fp);
    return std::fclose(fp) == 0 && ok;
}

// The number of bytes the text takes, or -1.
off_t text_size(const text_writer &text) {
    off_t size = 0;
    FILE *fp = write_calls::counting_stream(&size);
    if (!fp) return -1;
    bool ok = text(fp);
    return std::fclose(fp) == 0 && ok ? size : -1;
}

// A file about to be written: the name the user knows it by (for the
// messages), the file that name leads to, how that file is before the write,
// and the backup's name ("" for none).
struct write_job {
    write_job(const char *name, int how) : fn(name), append((how & WB_APPEND) != 0) {
        // A symbolic link stays one: the file it leads to is written.
        const char *followed = follow_links(fn);
        if (!followed) error_file(ERR_CANT_WRITE, fn);
        target = followed;
        exists = stat(target.c_str(), &old) == 0;
        if (exists && !S_ISREG(old.st_mode)) error_file(ERR_CANT_WRITE, fn);
        const char *bak = get_bak_fn(target.c_str());
        if (exists && backups && !(how & WB_NO_BACKUP) && bak) backup = bak;
    }
    int mode() const { return exists ? static_cast<int>(old.st_mode) : -1; }

    const char *fn;
    bool append;
    std::string target;
    bool exists;
    struct stat old {};
    std::string backup;
};

// Leaves nothing beside the file before the message, which the user may act
// on at once, and raises it.
[[noreturn]] void fail(replace_file &out, int code, const char *fn) {
    out.discard();
    error_file(code, fn);
}

// Writes the file over itself: for a file with other names, in a folder that
// takes no new file, or whose owner a new file would not keep. The old text
// is kept first, to be put back from if a write fails: as the backup, else in
// a safety copy, while after an append the file's old length is all it takes.
void write_in_place(const write_job &job, const text_writer &text) {
    rewrite_file out(job.target.c_str());
    if (!out.opened()) error_file(ERR_CANT_WRITE, job.fn);
    off_t size = text_size(text);
    if (size < 0 || !out.room_for((job.append ? out.old_size() : 0) + size))
        error_file(ERR_CANT_WRITE, job.fn);
    if (!job.backup.empty() && !copy_file(job.target.c_str(), job.backup.c_str(), job.mode()))
        error_file(ERR_NO_BACKUP, job.fn);
    std::optional<safety_copy> copy;
    if (job.backup.empty() && !job.append) {
        copy.emplace(job.target.c_str());
        if (!copy->made()) error_file(ERR_NO_BACKUP, job.fn);
    }
    if ((job.append ? out.to_end() : out.from_start()) && write_text(text, out.fd()) &&
        out.finish())
        return;
    const char *old_text = job.append ? nullptr : copy ? copy->name() : job.backup.c_str();
    if (out.put_back(old_text)) error_file(ERR_CANT_WRITE, job.fn);
    std::string kept = old_text;
    if (copy) copy->keep();
    error_file(ERR_OLD_TEXT_KEPT, kept.c_str());
}

// Writes a new file beside the old one and renames it into its place, after
// the old file has been given the backup's name too.
void write_beside(const write_job &job, replace_file &out, const text_writer &text) {
    if ((job.append && !out.copy_old()) || !write_text(text, out.fd()) || !out.flush())
        fail(out, ERR_CANT_WRITE, job.fn);
    out.take_over(job.mode());
    if (!job.backup.empty() && !keep_as_backup(job.target.c_str(), job.backup.c_str(), job.mode()))
        fail(out, ERR_NO_BACKUP, job.fn);
    if (!out.put_in_place()) fail(out, ERR_CANT_WRITE, job.fn);
}

} // namespace

int query_write(text_buffer *b, int force) {
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

void write_file_safely(const char *fn, int how, const text_writer &text) {
    // Begun, a write is finished before a hang-up saves the work: a file
    // written in place is never left cut, a new file never left beside it.
    hangup_hold hold;
    write_job job(fn, how);
    // The new file beside the old one is the safe way; the file is written in
    // place when every name of it must see the new text, when the folder
    // takes no new file from this user, or when the new file could not keep
    // the owner. A disk too full for a new file takes no new text in place
    // either.
    replace_file out(job.target.c_str());
    bool in_place = out.made() ? !out.keeps_owner() : out.refused();
    if (job.exists && (job.old.st_nlink > 1 || in_place)) {
        out.discard();
        write_in_place(job, text);
    } else {
        if (!out.made()) error_file(ERR_CANT_WRITE, fn);
        write_beside(job, out, text);
    }
}

void write_back(text_buffer *b, int how) {
    const char *fn = b->fn;
    bool append = (how & WB_APPEND) != 0;
    if (how & WB_ASK_READONLY) query_readonly(fn);
    if (!append) query_loss(b);
    same_file_write other_buffers(b, append); // asks when another buffer wrote the file
    file_prompt("writing ", fn);
    // Measuring a write in place writes once more: the last write tells.
    int marker_like = 0;
    write_file_safely(fn, how, [b, &marker_like](FILE *fp) {
        write_report w = buff_write_to(b, fp);
        marker_like = w.marker_like;
        return w.ok;
    });

    b->changed = 0;
    if (!append) b->read_loss = 0;
    journal_saved(b);
    if (marker_like)
        file_prompt("warning: lines that look like fold markers written to ", fn);
    else
        prompt_blank();
}
