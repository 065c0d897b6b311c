#include "host/job.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "host/hangup.h"

namespace {

void on_child(int) {}

// The signals that end a wait on a command or on the terminal: the hang-up
// signals and SIGCHLD (a command ended or stopped), held back except inside
// the wait itself, so that one arriving just before it still ends it.
class signal_wait {
  public:
    signal_wait() {
        struct sigaction act {};
        act.sa_handler = on_child;
        sigemptyset(&act.sa_mask);
        act.sa_flags = SA_RESTART;
        sigaction(SIGCHLD, &act, &saved_child_);
        hangup_hold_back(SIGCHLD, &outside_, &waiting_);
    }
    signal_wait(const signal_wait &) = delete;
    signal_wait &operator=(const signal_wait &) = delete;
    ~signal_wait() {
        sigprocmask(SIG_SETMASK, &outside_, nullptr);
        sigaction(SIGCHLD, &saved_child_, nullptr);
    }
    // The signal mask as it was: a command starts with it.
    const sigset_t &outside() const { return outside_; }
    // Waits for the descriptor to be ready, a signal or the time-out (null:
    // none); ppoll's result.
    int wait(pollfd *fd, const timespec *timeout) {
        return ppoll(fd, fd ? 1 : 0, timeout, &waiting_);
    }

  private:
    struct sigaction saved_child_ {};
    sigset_t outside_, waiting_;
};

// The terminal's foreground process group: given to a command, and taken
// back on every path out (a process outside it may take it only with
// SIGTTOU held back).
class foreground {
  public:
    foreground() : tty_(open("/dev/tty", O_RDWR | O_CLOEXEC)) {
        ours_ = tty_ >= 0 && tcgetpgrp(tty_) == getpgrp();
    }
    foreground(const foreground &) = delete;
    foreground &operator=(const foreground &) = delete;
    ~foreground() {
        if (ours_) {
            sigset_t ttou, old;
            sigemptyset(&ttou);
            sigaddset(&ttou, SIGTTOU);
            sigprocmask(SIG_BLOCK, &ttou, &old);
            tcsetpgrp(tty_, getpgrp());
            sigprocmask(SIG_SETMASK, &old, nullptr);
        }
        if (tty_ >= 0) close(tty_);
    }
    // Makes the new process put its group in the foreground, when ours is.
    void hand_over(posix_spawn_file_actions_t *actions) const {
        if (ours_) posix_spawn_file_actions_addtcsetpgrp_np(actions, tty_);
    }

  private:
    int tty_;
    bool ours_ = false;
};

// Starts "sh -c -- command" in a process group of its own, in the terminal's
// foreground when the editor's group is; -1 when it cannot start.
pid_t start_command(const char *command, const sigset_t &mask, const foreground &terminal) {
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                        POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setsigmask(&attr, &mask);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGXFSZ);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    terminal.hand_over(&actions);
    const char *argv[] = {"sh", "-c", "--", command, nullptr};
    pid_t pid = -1;
    int failed = posix_spawn(&pid, "/bin/sh", &actions, &attr, const_cast<char **>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return failed ? -1 : pid;
}

// Whether the command has ended; a command that was stopped (control-Z) is
// made to go on, since the editor, waiting for it, cannot take its place.
bool ended(pid_t pid) {
    int status;
    pid_t got = waitpid(pid, &status, WNOHANG | WUNTRACED);
    if (got == pid && WIFSTOPPED(status)) kill(-pid, SIGCONT);
    return (got == pid && !WIFSTOPPED(status)) || (got < 0 && errno != EINTR);
}

// A hang-up came while the command ran: it is hung up too, as the loss of
// its terminal would (SIGHUP, and SIGCONT should it be stopped), and what is
// left of it after a short grace (at most 20 steps of 10 ms, and sooner when
// it ends) is killed.
void end_command(pid_t pid, signal_wait &signals) {
    kill(-pid, SIGHUP);
    kill(-pid, SIGCONT);
    const timespec step{0, 10 * 1000 * 1000};
    for (int i = 0; i < 20; i++) {
        if (ended(pid)) return;
        signals.wait(nullptr, &step);
    }
    kill(-pid, SIGKILL);
}

} // namespace

int run_job(const char *command) {
    signal_wait signals;
    foreground terminal;
    pid_t pid = start_command(command, signals.outside(), terminal);
    if (pid < 0) return 0;
    while (!ended(pid)) {
        if (hangup_due()) {
            end_command(pid, signals);
            break;
        }
        signals.wait(nullptr, nullptr);
    }
    return 1;
}

void read_line_unless_hangup(int max) {
    signal_wait signals;
    int taken = 0;
    while (taken < max && !hangup_due()) {
        pollfd typed{0, POLLIN, 0};
        if (signals.wait(&typed, nullptr) <= 0) {
            if (errno == EINTR) continue;
            break;
        }
        char c;
        ssize_t got = read(0, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 || c == '\n') break;
        ++taken;
    }
}
