#include "host/write_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include "host/files.h"

namespace write_calls {

namespace {

fault injected;

// The error the test's fault gives the call, or 0.
int fault_for(const char *call) {
    return injected ? injected(call) : 0;
}

// Runs the call unless the fault makes it fail.
template <class Call> auto made(const char *call, Call do_it) -> decltype(do_it()) {
    if (int e = fault_for(call)) {
        errno = e;
        return -1;
    }
    return do_it();
}

struct stream_cookie {
    int fd;
    bool owns_fd;
};

ssize_t stream_write(void *cookie, const char *bytes, size_t n) {
    auto *c = static_cast<stream_cookie *>(cookie);
    // 0, never a negative count, is how a failure reaches the stream.
    if (!write_all(c->fd, bytes, n)) return 0;
    // The host starts putting the data on the disk now, so that the flush at
    // the end finds most of it there.
    file_start_writeback(c->fd);
    return static_cast<ssize_t>(n);
}

int stream_close(void *cookie) {
    auto *c = static_cast<stream_cookie *>(cookie);
    int result = c->owns_fd ? close(c->fd) : 0;
    delete c;
    return result;
}

ssize_t count_write(void *cookie, const char *, size_t n) {
    *static_cast<off_t *>(cookie) += static_cast<off_t>(n);
    return static_cast<ssize_t>(n);
}

} // namespace

int open(const char *fn, int flags, mode_t mode) {
    return made("open", [&] { return ::open(fn, flags, mode); });
}

int make_temporary(char *pattern) {
    return made("make_temporary", [&] { return mkostemp(pattern, O_CLOEXEC); });
}

ssize_t write(int fd, const void *bytes, size_t n) {
    return made("write", [&] { return ::write(fd, bytes, n); });
}

int fsync(int fd) {
    return made("fsync", [&] { return ::fsync(fd); });
}

int ftruncate(int fd, off_t length) {
    return made("ftruncate", [&] { return ::ftruncate(fd, length); });
}

int reserve(int fd, off_t length) {
    return made("reserve", [&] { return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length); });
}

int link(const char *from, const char *to) {
    return made("link", [&] { return ::link(from, to); });
}

int rename(const char *from, const char *to) {
    return made("rename", [&] { return std::rename(from, to); });
}

int unlink(const char *fn) {
    return made("unlink", [&] { return ::unlink(fn); });
}

int close(int fd) {
    int e = fault_for("close");
    int result = ::close(fd);
    if (e) errno = e;
    return e ? -1 : result;
}

bool write_all(int fd, const char *bytes, size_t n) {
    while (n > 0) {
        ssize_t done = write(fd, bytes, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

FILE *stream(int fd, bool owns_fd) {
    auto *cookie = new (std::nothrow) stream_cookie{fd, owns_fd};
    if (!cookie) return nullptr;
    FILE *fp = fopencookie(cookie, "w", {nullptr, stream_write, nullptr, stream_close});
    if (!fp) {
        delete cookie;
        return nullptr;
    }
    setvbuf(fp, nullptr, _IONBF, 0);
    return fp;
}

FILE *counting_stream(off_t *count) {
    return fopencookie(count, "w", {nullptr, count_write, nullptr, nullptr});
}

void set_fault(fault f) {
    injected = f;
}

} // namespace write_calls
