#include "host/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "host/write_calls.h"

FILE *fopen_file(const char *name, const char *mode) {
    int flags = 0;
    if (std::strcmp(mode, "r") == 0)
        flags = O_RDONLY;
    else if (std::strcmp(mode, "w") == 0)
        flags = O_WRONLY | O_CREAT | O_TRUNC;
    else if (std::strcmp(mode, "a") == 0)
        flags = O_WRONLY | O_CREAT | O_APPEND;
    else
        return nullptr;
    // Without blocking: a named pipe with no writer (or reader) would keep
    // the open waiting. A pipe or device opened so is closed again, and for
    // writing the truncation is left until the file is known to be regular.
    // Writing goes through the host's write calls (host/write_calls.h).
    bool writing = flags != O_RDONLY;
    int open_flags = (flags & ~O_TRUNC) | O_NONBLOCK | O_CLOEXEC;
    int fd = writing ? write_calls::open(name, open_flags, 0666) : open(name, open_flags);
    if (fd < 0) return nullptr;
    struct stat st;
    bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    bool ready = regular && fcntl(fd, F_SETFL, flags & O_APPEND) == 0 &&
                 (!(flags & O_TRUNC) || write_calls::ftruncate(fd, 0) == 0);
    FILE *fp = !ready ? nullptr : writing ? write_calls::stream(fd, true) : fdopen(fd, mode);
    if (!fp) close(fd);
    return fp;
}

int file_exists(const char *name) {
    struct stat st;
    return lstat(name, &st) == 0;
}

int unlink_file(const char *name) {
    return write_calls::unlink(name) == 0;
}

int rename_file(const char *from, const char *to) {
    return write_calls::rename(from, to) == 0;
}

bool copy_into(const char *from, int fd) {
    int in = open(from, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) return false;
    char buf[1 << 16];
    bool ok = true;
    for (;;) {
        ssize_t n = read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!write_calls::write_all(fd, buf, static_cast<size_t>(n))) {
            ok = false;
            break;
        }
    }
    close(in);
    return ok;
}

int get_filemode(const char *name) {
    struct stat st;
    if (stat(name, &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    return static_cast<int>(st.st_mode);
}

void set_filemode(const char *name, int mode) {
    (void)chmod(name, mode & 07777);
}

int is_readonly(const char *name) {
    struct stat st;
    if (stat(name, &st) != 0 || S_ISDIR(st.st_mode)) return 0;
    return (st.st_mode & S_IWUSR) == 0;
}

const char *follow_links(const char *name) {
    static std::string path;
    path = name;
    // As many links as the host itself follows before it gives up.
    for (int hops = 0; hops <= 40; hops++) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path.c_str();
        std::string to(static_cast<size_t>(st.st_size < 4096 ? 4096 : st.st_size) + 1, '\0');
        ssize_t n = readlink(path.c_str(), to.data(), to.size());
        if (n < 0 || static_cast<size_t>(n) >= to.size()) return nullptr;
        to.resize(static_cast<size_t>(n));
        size_t slash = path.rfind('/');
        if (to[0] == '/' || slash == std::string::npos)
            path = to;
        else
            path = path.substr(0, slash + 1) + to;
    }
    return nullptr;
}

void file_start_writeback(int fd) {
#ifdef SYNC_FILE_RANGE_WRITE
    (void)sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
#endif
}
