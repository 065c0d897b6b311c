#include "host/process.h"
#include "support/scratch.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>

using namespace test_support;

namespace {

// Where every open descriptor leads, to see that a command leaves them as they were.
std::string descriptors() {
    std::string seen;
    std::error_code ignored;
    for (const auto &fd : std::filesystem::directory_iterator("/proc/self/fd"))
        seen += std::filesystem::read_symlink(fd.path(), ignored).string() + " ";
    return seen;
}

// Runs shell(command) in a child whose terminal is a new pseudo-terminal, with
// 0, 1 and 2 on /dev/null so that only "/dev/tty" reaches the terminal; the
// keys are typed at once. The child then reports what shell returned, whether
// 0, 1 and 2 came back and the next line typed. Returns all the terminal
// showed until the child ended.
std::string shell_on_a_terminal(const char *command, const std::string &keys) {
    int master = -1;
    pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        fcntl(0, F_DUPFD_CLOEXEC, 10); // keeps the terminal open while 0, 1 and 2 are away
        int null = open("/dev/null", O_RDWR);
        for (int fd = 0; fd < 3; ++fd) dup2(null, fd);
        std::string before = descriptors();
        int ran = shell(command);
        bool restored = descriptors() == before;
        int tty = open("/dev/tty", O_RDWR);
        char line[100] = "";
        ssize_t got = read(tty, line, sizeof line);
        dprintf(tty, "AFTER:%d:%d:%.*s.\n", ran, restored, static_cast<int>(got - 1), line);
        _exit(0);
    }
    if (pid < 0) return "not started";
    std::string shown = write(master, keys.data(), keys.size()) < 0 ? "keys not typed " : "";
    char chunk[512];
    struct pollfd fds = {master, POLLIN, 0};
    while (poll(&fds, 1, 20000) > 0) {
        ssize_t got = read(master, chunk, sizeof chunk);
        if (got <= 0) break;
        shown.append(chunk, got);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(master);
    return shown;
}

} // namespace

TEST(HostProcess, FilterRunsACommandBetweenTwoFiles) {
    scratch_dir dir;
    std::string in = dir.path("in"), out = dir.path("out"), before = descriptors();
    write_file(in, "pear\napple\nfig\n");
    EXPECT_EQ(xfilter("sort; echo err >&2; exit 3", in.c_str(), out.c_str()), 1);
    EXPECT_EQ(read_file(out), "apple\nfig\npear\nerr\n");
    EXPECT_EQ(permissions(out), 0600);
    EXPECT_EQ(xfilter("true", in.c_str(), out.c_str()), 1);
    EXPECT_EQ(read_file(out), "");
    // Files that cannot be opened leave the descriptors as they are.
    EXPECT_EQ(xfilter("true", dir.path("missing").c_str(), dir.path("gone/out").c_str()), 1);
    EXPECT_EQ(descriptors(), before);
    // The editor ignores SIGXFSZ; the command gets the default back (signal 25
    // is bit 24 of the ignored mask), and the editor keeps ignoring it after.
    struct sigaction ignore {
    }, saved{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &saved);
    EXPECT_EQ(xfilter("grep SigIgn /proc/self/status", in.c_str(), out.c_str()), 1);
    unsigned long ignored = std::stoul(read_file(out).substr(7), nullptr, 16);
    EXPECT_EQ(ignored & (1ul << (SIGXFSZ - 1)), 0u) << read_file(out);
    struct sigaction now {};
    sigaction(SIGXFSZ, &saved, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
}

TEST(HostShell, CommandsRunOnTheTerminal) {
    // The command leads a process group of its own (fields 5 and 8 of its
    // stat: its group and the terminal's foreground group), so that what is
    // typed for it reaches it alone. After it, one line of at most 49
    // characters is taken for "press return".
    std::string shown =
        shell_on_a_terminal("set -- $(cat /proc/$$/stat); echo RAN_$(($5 == $$ && $8 == $$))",
                            std::string(49, 'a') + "TAIL\r");
    size_t ran = shown.find("RAN_1"), asked = shown.find("\npress return to return to ox ... ");
    EXPECT_TRUE(ran < asked && asked != std::string::npos) << shown;
    EXPECT_NE(shown.find("AFTER:1:1:TAIL."), std::string::npos) << shown;
    // An empty command starts the user's shell and asks nothing after it.
    env_var user_shell("SHELL", "/bin/sh"), env("ENV", std::nullopt);
    shown = shell_on_a_terminal("", "echo SH_$((6*7)); exit\rnext\r");
    EXPECT_TRUE(shown.find("SH_42") != std::string::npos &&
                shown.find("press") == std::string::npos)
        << shown;
    EXPECT_NE(shown.find("AFTER:1:1:next."), std::string::npos) << shown;
}
