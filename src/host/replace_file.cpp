#include "host/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "host/files.h"
#include "host/write_calls.h"

namespace {

// Fills the pattern's trailing "XXXXXX" with letters and digits that differ
// from call to call.
void fill_unique(std::string &pattern) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned long long state =
        static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<unsigned long long>(getpid()) << 32);
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    unsigned long long bits = state >> 16;
    for (size_t i = pattern.size() - 6; i < pattern.size(); i++, bits /= 62)
        pattern[i] = letters[bits % 62];
}

// Whether a failed link means the file system gives this file no second
// name, rather than that the name is taken or the folder gone.
bool no_hard_link(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK ||
           error == EXDEV;
}

// The mode the host gives an ordinary new file.
mode_t new_file_mode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string temporary_beside(const char *fn) {
    const char *slash = std::strrchr(fn, '/');
    size_t dir_len = slash ? static_cast<size_t>(slash - fn + 1) : 0;
    // A base name of up to 255 bytes must leave room for the additions.
    std::string base(fn + dir_len, std::strlen(fn + dir_len));
    if (base.size() > 200) base.resize(200);
    return std::string(fn, dir_len) + "." + base + ".oxXXXXXX";
}

replace_file::replace_file(const char *fn) : target_(fn) {
    struct stat old {};
    existed_ = fn[0] && stat(fn, &old) == 0;
    if (!fn[0] || (existed_ && S_ISDIR(old.st_mode))) return;
    owner_ = old.st_uid;
    group_ = old.st_gid;
    name_ = temporary_beside(fn);
    fd_ = write_calls::make_temporary(name_.data());
    if (fd_ >= 0) return;
    refused_ = errno == EACCES || errno == EPERM;
    name_.clear();
}

bool replace_file::copy_old() const {
    return !existed_ || copy_into(target_.c_str(), fd_);
}

bool replace_file::flush() const {
    return write_calls::fsync(fd_) == 0 || errno == EINVAL;
}

bool flush_folder_of(const char *fn) {
    const char *slash = std::strrchr(fn, '/');
    std::string dir = slash ? std::string(fn, static_cast<size_t>(slash - fn + 1)) : ".";
    int folder = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return false;
    bool flushed = write_calls::fsync(folder) == 0 || errno == EINVAL;
    close(folder);
    return flushed;
}

bool copy_file(const char *from, const char *to, int mode) {
    replace_file copy(to);
    if (!copy.made() || !copy_into(from, copy.fd()) || !copy.flush()) return false;
    copy.take_over(mode);
    return copy.put_in_place();
}

bool keep_as_backup(const char *fn, const char *bak, int mode) {
    if (write_calls::link(fn, bak) == 0) {
        flush_folder_of(bak);
        return true;
    }
    if (no_hard_link(errno)) return copy_file(fn, bak, mode);
    if (errno != EEXIST) return false;
    // A backup is there already: it is replaced in one step by a new name of
    // the file, made under a fresh name first.
    std::string fresh = temporary_beside(bak);
    for (int tries = 0; tries < 100; tries++) {
        fill_unique(fresh);
        if (write_calls::link(fn, fresh.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return no_hard_link(errno) && copy_file(fn, bak, mode);
        }
        if (write_calls::rename(fresh.c_str(), bak) == 0) {
            flush_folder_of(bak);
            return true;
        }
        write_calls::unlink(fresh.c_str());
        return false;
    }
    return false;
}

bool replace_file::keeps_owner() const {
    if (!existed_) return true;
    if (fchown(fd_, owner_, group_) != 0) {
        int group_only = fchown(fd_, static_cast<uid_t>(-1), group_);
        (void)group_only;
    }
    struct stat st;
    return fstat(fd_, &st) == 0 && st.st_uid == owner_;
}

void replace_file::take_over(int mode) const {
    if (mode == -1) {
        fchmod(fd_, new_file_mode());
        return;
    }
    if (existed_) {
        int kept = fchown(fd_, owner_, group_);
        (void)kept;
    }
    fchmod(fd_, static_cast<mode_t>(mode) & 07777);
}

bool replace_file::put_in_place() {
    if (write_calls::rename(name_.c_str(), target_.c_str()) != 0) return false;
    name_.clear();
    flush_folder_of(target_.c_str());
    return true;
}

int replace_file::put_as_new(const char *fn) {
    if (write_calls::link(name_.c_str(), fn) != 0) return errno == EEXIST ? 0 : -1;
    // Named twice for a moment: whichever name is left, the file is whole.
    // The temporary name goes now, or else at discard.
    if (write_calls::unlink(name_.c_str()) == 0) name_.clear();
    flush_folder_of(fn);
    return 1;
}

void replace_file::discard() {
    if (fd_ >= 0) write_calls::close(fd_);
    fd_ = -1;
    if (!name_.empty()) write_calls::unlink(name_.c_str());
    name_.clear();
}
