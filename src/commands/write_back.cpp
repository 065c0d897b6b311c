#include "commands/write_back.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands/errors.h"
#include "display/into.h"
#include "display/prompt.h"
#include "display/terminal.h"
#include "host/filename.h"
#include "host/files.h"
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

struct fd_owner {
    int fd;
    ~fd_owner() {
        if (fd >= 0) close(fd);
    }
};

// Writes all of the bytes; false on any failure.
bool write_all(int fd, const char *p, size_t n) {
    while (n > 0) {
        ssize_t done = write(fd, p, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        p += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

// Copies the whole of the file into fd.
bool copy_into(const char *fn, int fd) {
    fd_owner in{open(fn, O_RDONLY)};
    if (in.fd < 0) return false;
    char buf[1 << 16];
    for (;;) {
        ssize_t n = read(in.fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!write_all(fd, buf, static_cast<size_t>(n))) return false;
    }
}

// The mode the host gives an ordinary new file.
mode_t new_file_mode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The file the new text is written to: made beside the file it will replace,
// so that the rename that puts it in place stays on one file system. It is
// removed again unless it was put in place.
class new_file {
  public:
    explicit new_file(const char *fn) {
        const char *slash = std::strrchr(fn, '/');
        size_t dir_len = slash ? static_cast<size_t>(slash - fn + 1) : 0;
        // A base name of up to 255 bytes must leave room for the additions.
        std::string base(fn + dir_len, std::strlen(fn + dir_len));
        if (base.size() > 200) base.resize(200);
        name_.assign(fn, dir_len);
        name_ += "." + base + ".oxXXXXXX";
        fd_ = mkstemp(name_.data());
        if (fd_ < 0) name_.clear();
    }
    ~new_file() { discard(); }
    new_file(const new_file &) = delete;
    new_file &operator=(const new_file &) = delete;

    bool made() const { return fd_ >= 0; }
    const char *name() const { return name_.c_str(); }
    int fd() const { return fd_; }

    // Everything written reaches the disk before the file takes the old one's
    // place; a host that cannot flush this file does not count as a failure.
    bool flush() const { return fsync(fd_) == 0 || errno == EINVAL; }

    // The old file's mode and, where the host allows, its owner (a file
    // another user owns becomes the writer's where the host refuses); the
    // mode of an ordinary new file when there was none.
    void take_over(const struct stat *old, int mode) const {
        if (mode == -1) {
            fchmod(fd_, new_file_mode());
            return;
        }
        if (old) {
            int kept = fchown(fd_, old->st_uid, old->st_gid);
            (void)kept;
        }
        fchmod(fd_, static_cast<mode_t>(mode) & 07777);
    }

    bool place_as(const char *fn) {
        if (std::rename(name_.c_str(), fn) != 0) return false;
        name_.clear();
        return true;
    }

    // Removes the file unless it was put in place.
    void discard() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
        if (!name_.empty()) unlink(name_.c_str());
        name_.clear();
    }

  private:
    std::string name_;
    int fd_ = -1;
};

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

    struct stat old {};
    bool existed = fn[0] && stat(fn, &old) == 0;
    if (!fn[0] || (existed && S_ISDIR(old.st_mode))) error_file(ERR_CANT_WRITE, fn);
    new_file out(fn);
    if (!out.made()) error_file(ERR_CANT_WRITE, fn);
    bool append = (how & WB_APPEND) != 0;
    bool written = (!append || !existed || copy_into(fn, out.fd())) &&
                   buff_write(b, out.name(), append ? 1 : 0) && out.flush();
    if (!written) {
        out.discard(); // before the message, which the user may act on at once
        error_file(ERR_CANT_WRITE, fn);
    }

    int mode = take_backup(fn);
    out.take_over(existed ? &old : nullptr, mode);
    if (!out.place_as(fn)) {
        out.discard();
        const char *bak = mode != -1 && backups ? get_bak_fn(fn) : nullptr;
        if (bak) rename_file(bak, fn);
        error_file(ERR_CANT_WRITE, fn);
    }
    b->changed = 0;
    prompt_blank();
}
