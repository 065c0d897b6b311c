#include "host/process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "host/hangup.h"
#include "host/job.h"

namespace {

int saved_fds[3] = {-1, -1, -1};

// Owns a descriptor that may have failed to open (-1).
class owned_fd {
  public:
    explicit owned_fd(int fd) : fd_(fd) {}
    owned_fd(const owned_fd &) = delete;
    owned_fd &operator=(const owned_fd &) = delete;
    ~owned_fd() {
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
class saved_std_fds {
  public:
    saved_std_fds() {
        std::fflush(stdout);
        std::fflush(stderr);
        save_std_fds();
    }
    saved_std_fds(const saved_std_fds &) = delete;
    saved_std_fds &operator=(const saved_std_fds &) = delete;
    ~saved_std_fds() { restore_std_fds(); }
};

void wait_for_return() {
    std::fputs("\npress return to return to ox ... ", stderr);
    std::fflush(stderr);
    read_line_unless_hangup(49);
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
    int started;
    {
        owned_fd tty(open("/dev/tty", O_RDWR | O_CLOEXEC));
        saved_std_fds saved;
        for (int fd = 0; fd < 3; ++fd) tty.redirect(fd);
        started = run_job(command[0] ? command : get_shell());
        if (command[0]) wait_for_return();
    }
    hangup_poll(); // a hang-up ended the command or the wait: the work is saved
    return started;
}

int xfilter(const char *command, const char *input, const char *output) {
    int started;
    {
        owned_fd in(open(input, O_RDONLY | O_CLOEXEC));
        owned_fd out(open(output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        saved_std_fds saved;
        in.redirect(0);
        out.redirect(1);
        out.redirect(2);
        started = run_job(command[0] ? command : get_shell());
    }
    if (hangup_due()) {
        // The saver ends the editor at once, with no way back to the
        // caller that would remove the two files.
        unlink(input);
        unlink(output);
    }
    hangup_poll();
    return started;
}
