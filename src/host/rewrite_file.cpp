#include "host/rewrite_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host/files.h"
#include "host/replace_file.h"
#include "host/write_calls.h"

namespace {

bool flushed(int fd) {
    return write_calls::fsync(fd) == 0 || errno == EINVAL;
}

// Makes a new file from the pattern, copies fn into it and flushes it: its
// descriptor, or -1 with nothing left behind.
int copy_to_new(const char *fn, std::string &pattern) {
    int fd = write_calls::make_temporary(pattern.data());
    if (fd < 0) return -1;
    if (copy_into(fn, fd) && flushed(fd)) return fd;
    write_calls::close(fd);
    write_calls::unlink(pattern.c_str());
    return -1;
}

} // namespace

rewrite_file::rewrite_file(const char *fn) {
    // Without blocking, so that a named pipe in the file's place cannot hold
    // the editor; only a regular file is kept open.
    fd_ = write_calls::open(fn, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return;
    struct stat st;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || fcntl(fd_, F_SETFL, 0) != 0) {
        write_calls::close(fd_);
        fd_ = -1;
        return;
    }
    old_size_ = st.st_size;
}

rewrite_file::~rewrite_file() {
    if (fd_ >= 0) write_calls::close(fd_);
}

bool rewrite_file::room_for(off_t size) const {
    rlimit limit;
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(size) > limit.rlim_cur)
        return false;
    return size <= old_size_ || write_calls::reserve(fd_, size) == 0 || errno == EOPNOTSUPP ||
           errno == ENOSYS;
}

bool rewrite_file::from_start() const {
    return lseek(fd_, 0, SEEK_SET) == 0;
}

bool rewrite_file::to_end() const {
    return lseek(fd_, old_size_, SEEK_SET) == old_size_;
}

bool rewrite_file::finish() const {
    off_t end = lseek(fd_, 0, SEEK_CUR);
    return end >= 0 && write_calls::ftruncate(fd_, end) == 0 && flushed(fd_);
}

bool rewrite_file::put_back(const char *copy) const {
    bool copied = !copy || (from_start() && copy_into(copy, fd_));
    return copied && write_calls::ftruncate(fd_, old_size_) == 0 && flushed(fd_);
}

safety_copy::safety_copy(const char *fn) {
    const char *slash = std::strrchr(fn, '/');
    const char *tmp = std::getenv("TMPDIR");
    std::string elsewhere =
        std::string(tmp && tmp[0] ? tmp : "/tmp") + "/" + (slash ? slash + 1 : fn);
    for (std::string pattern : {temporary_beside(fn), temporary_beside(elsewhere.c_str())}) {
        int fd = copy_to_new(fn, pattern);
        if (fd < 0) continue;
        write_calls::close(fd);
        name_ = pattern;
        return;
    }
}

safety_copy::~safety_copy() {
    if (!name_.empty()) write_calls::unlink(name_.c_str());
}
