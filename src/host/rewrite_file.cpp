#include "host/rewrite_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "host/write_calls.h"

rewrite_file::rewrite_file(const char *fn) {
    // Without blocking, so that a named pipe in the file's place cannot hold
    // the editor; only a regular file is kept open.
    fd_ = write_calls::open(fn, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return;
    struct stat st;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || fcntl(fd_, F_SETFL, 0) != 0) {
        write_calls::close(fd_);
        fd_ = -1;
    }
}

rewrite_file::~rewrite_file() {
    if (fd_ >= 0) write_calls::close(fd_);
}

bool rewrite_file::truncate() const {
    return write_calls::ftruncate(fd_, 0) == 0 && lseek(fd_, 0, SEEK_SET) == 0;
}

bool rewrite_file::to_end() const {
    return lseek(fd_, 0, SEEK_END) >= 0;
}

bool rewrite_file::flush() const {
    return write_calls::fsync(fd_) == 0 || errno == EINVAL;
}
