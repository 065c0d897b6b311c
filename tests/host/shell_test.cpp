#include "host/process.h"
#include "host_fixtures.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace host_test;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto deadline_after = std::chrono::seconds(20);
constexpr char press_return[] = "press return to return to ox ... ";

// A child process whose controlling terminal is a new pseudo-terminal; the
// test reads what appears on the terminal and types into it. A child still
// running at scope exit is killed.
class PtyChild {
  public:
    template <class Body> explicit PtyChild(Body body) {
        pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
        if (pid_ == 0) _exit(body());
    }
    PtyChild(const PtyChild &) = delete;
    PtyChild &operator=(const PtyChild &) = delete;
    ~PtyChild() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
    }

    bool started() const { return pid_ > 0; }
    const std::string &screen() const { return screen_; }

    void type(const std::string &keys) {
        ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Reads the terminal until its output holds the text; false at the deadline or when it closes.
    bool wait_for(const std::string &text) {
        auto deadline = Clock::now() + deadline_after;
        while (screen_.find(text) == std::string::npos) {
            if (Clock::now() > deadline || !read_some()) return false;
        }
        return true;
    }

    // Waits for the child to end, keeping its output, and returns its exit status (-1 when
    // it did not end in time or was killed).
    int exit_status() {
        auto deadline = Clock::now() + deadline_after;
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) return -1;
            read_some();
        }
        pid_ = -1;
        while (read_some()) {
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    bool read_some() {
        struct pollfd fds = {master_, POLLIN, 0};
        if (poll(&fds, 1, 100) <= 0) return true;
        char chunk[512];
        ssize_t got = read(master_, chunk, sizeof chunk);
        if (got <= 0) return false;
        screen_.append(chunk, got);
        return true;
    }

    pid_t pid_ = -1;
    int master_ = -1;
    std::string screen_;
};

// In the child: points 0, 1 and 2 away from the terminal, so that only "/dev/tty" reaches it.
// One hidden descriptor keeps the terminal open; without any the test would see it hang up.
void detach_std_fds() {
    fcntl(0, F_DUPFD_CLOEXEC, 10);
    int null = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3; ++fd) dup2(null, fd);
    close(null);
}

// In the child: whether 0, 1 and 2 are back on /dev/null.
bool std_fds_detached() {
    struct stat null, st;
    if (stat("/dev/null", &null) != 0) return false;
    for (int fd = 0; fd < 3; ++fd) {
        if (fstat(fd, &st) != 0 || st.st_rdev != null.st_rdev) return false;
    }
    return true;
}

// In the child: runs the command with shell, then reports on the terminal what it
// returned, whether the descriptors came back and the next line typed.
int report_after_shell(const char *command) {
    detach_std_fds();
    int started = shell(command);
    bool detached = std_fds_detached();
    int tty = open("/dev/tty", O_RDWR);
    char line[200] = "";
    ssize_t got = read(tty, line, sizeof line - 1);
    line[got > 0 ? got - 1 : 0] = '\0';
    dprintf(tty, "AFTER:%d:%s:%s.\n", started, detached ? "restored" : "lost", line);
    return 0;
}

} // namespace

TEST(HostShell, CommandRunsOnTheTerminalAndWaitsForReturn) {
    PtyChild child([] { return report_after_shell("echo RAN_$((40+2)); exit 3"); });
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.wait_for(press_return)) << child.screen();
    EXPECT_NE(child.screen().find("RAN_42"), std::string::npos) << child.screen();
    EXPECT_LT(child.screen().find("RAN_42"), child.screen().find(press_return));

    child.type("first\rsecond\r");
    EXPECT_TRUE(child.wait_for("AFTER:1:restored:second.")) << child.screen();
    EXPECT_EQ(child.exit_status(), 0);
}

TEST(HostShell, PressReturnTakesAtMost49Characters) {
    PtyChild child([] { return report_after_shell("true"); });
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.wait_for(press_return)) << child.screen();
    child.type(std::string(49, 'a') + "TAIL\r");
    EXPECT_TRUE(child.wait_for("AFTER:1:restored:TAIL.")) << child.screen();
    EXPECT_EQ(child.exit_status(), 0);
}

TEST(HostShell, EmptyCommandStartsTheUserShell) {
    PtyChild child([] {
        setenv("SHELL", "PS1='OXSH> ' /bin/sh", 1);
        unsetenv("ENV");
        return report_after_shell("");
    });
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.wait_for("OXSH> ")) << child.screen();
    child.type("echo SH_$((6*7)); exit\r");
    ASSERT_TRUE(child.wait_for("SH_42")) << child.screen();
    child.type("next\r");
    EXPECT_TRUE(child.wait_for("AFTER:1:restored:next.")) << child.screen();
    EXPECT_EQ(child.exit_status(), 0);
    EXPECT_EQ(child.screen().find("press return"), std::string::npos) << child.screen();
}

TEST(HostShell, WithoutATerminalTheCommandKeepsItsDescriptors) {
    TempDir dir;
    write_file(dir / "in", "\n");
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setsid();
        int in = open((dir / "in").c_str(), O_RDONLY);
        int out = open((dir / "out").c_str(), O_WRONLY | O_CREAT, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        close(in);
        close(out);
        int open_before = open_fd_count();
        int started = shell("echo NOTTY");
        _exit(started == 1 && open_fd_count() == open_before ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(read_file(dir / "out"), std::string("NOTTY\n\n") + press_return);
}
