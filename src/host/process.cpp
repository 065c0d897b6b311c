#include "host/process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

int saved_fds[3] = {-1, -1, -1};

// Owns a descriptor that may have failed to open (-1).
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    // Makes the standard descriptor refer to this one; nothing when it failed to open.
    void redirect(int std_fd) const {
        if (fd_ >= 0) dup2(fd_, std_fd);
    }

  private:
    int fd_;
};

// Holds the standard descriptors saved while a command runs; they come back on
// every path out. Buffered output is flushed first so that it reaches the
// descriptors it was written for.
class StdFdsSaved {
  public:
    StdFdsSaved() {
        std::fflush(stdout);
        std::fflush(stderr);
        save_std_fds();
    }
    StdFdsSaved(const StdFdsSaved &) = delete;
    StdFdsSaved &operator=(const StdFdsSaved &) = delete;
    ~StdFdsSaved() { restore_std_fds(); }
};

// The editor ignores SIGXFSZ, so that a file-size limit fails its own writes
// instead of killing it; an ignored signal stays ignored across exec, so the
// command gets the default back while it runs.
struct DefaultFileSizeSignal {
    struct sigaction saved {};
    DefaultFileSizeSignal() {
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        sigemptyset(&dfl.sa_mask);
        sigaction(SIGXFSZ, &dfl, &saved);
    }
    DefaultFileSizeSignal(const DefaultFileSizeSignal &) = delete;
    DefaultFileSizeSignal &operator=(const DefaultFileSizeSignal &) = delete;
    ~DefaultFileSizeSignal() { sigaction(SIGXFSZ, &saved, nullptr); }
};

int run_command(const char *command) {
    DefaultFileSizeSignal default_while_running;
    return std::system(command[0] ? command : get_shell()) != -1;
}

void wait_for_return() {
    std::fputs("\npress return to return to ox ... ", stderr);
    std::fflush(stderr);
    // Byte by byte from the descriptor, so no more than the line is taken from the terminal.
    int taken = 0;
    while (taken < 49) {
        char c;
        ssize_t got = read(0, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 || c == '\n') break;
        ++taken;
    }
}

} // namespace

void save_std_fds() {
    for (int fd = 0; fd < 3; ++fd) {
        if (saved_fds[fd] >= 0) close(saved_fds[fd]);
        saved_fds[fd] = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    }
}

void restore_std_fds() {
    for (int fd = 0; fd < 3; ++fd) {
        if (saved_fds[fd] < 0) continue;
        dup2(saved_fds[fd], fd);
        close(saved_fds[fd]);
        saved_fds[fd] = -1;
    }
}

const char *get_shell() {
    const char *value = std::getenv("SHELL");
    return value && value[0] ? value : "sh";
}

int shell(const char *command) {
    Descriptor tty(open("/dev/tty", O_RDWR | O_CLOEXEC));
    StdFdsSaved saved;
    for (int fd = 0; fd < 3; ++fd) tty.redirect(fd);
    int started = run_command(command);
    if (command[0]) wait_for_return();
    return started;
}

int xfilter(const char *command, const char *input, const char *output) {
    Descriptor in(open(input, O_RDONLY | O_CLOEXEC));
    Descriptor out(open(output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    StdFdsSaved saved;
    in.redirect(0);
    out.redirect(1);
    out.redirect(2);
    return run_command(command);
}
