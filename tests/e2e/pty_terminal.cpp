#include "e2e/pty_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace e2e {

namespace {

using clock_type = std::chrono::steady_clock;

// When a wait gives up: after 10 s, or OX_E2E_TIMEOUT_MS.
clock_type::time_point deadline() {
    const char *v = std::getenv("OX_E2E_TIMEOUT_MS");
    return clock_type::now() +
           std::chrono::milliseconds(v && std::atoi(v) > 0 ? std::atoi(v) : 10000);
}

int ms_until(clock_type::time_point when) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - clock_type::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

// A cell's character: ASCII as itself, anything else as \x01, which the
// editor never writes as itself.
char cell_char(const VTermScreenCell &sc) {
    return sc.chars[0] == 0 ? ' ' : sc.chars[0] < 0x80 ? static_cast<char>(sc.chars[0]) : '\x01';
}

int colour_index(const VTermColor &c, bool foreground) {
    if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&c) : VTERM_COLOR_IS_DEFAULT_BG(&c)) return -1;
    if (VTERM_COLOR_IS_INDEXED(&c)) return c.indexed.idx;
    return 0x1000000 | c.rgb.red << 16 | c.rgb.green << 8 | c.rgb.blue;
}

} // namespace

pty_terminal::pty_terminal(std::vector<std::string> argv, options opts)
    : rows_(opts.rows), cols_(opts.cols) {
    vt_ = vterm_new(rows_, cols_);
    vterm_set_utf8(vt_, 1);
    vscreen_ = vterm_obtain_screen(vt_);
    vterm_screen_enable_altscreen(vscreen_, 1);
    vterm_screen_reset(vscreen_, 1);

    std::vector<char *> c_argv;
    for (std::string &arg : argv) c_argv.push_back(arg.data());
    c_argv.push_back(nullptr);
    winsize size{static_cast<unsigned short>(rows_), static_cast<unsigned short>(cols_), 0, 0};
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
        // Curses would believe LINES and COLUMNS over the terminal.
        unsetenv("LINES");
        unsetenv("COLUMNS");
        setenv("TERM", opts.term.c_str(), 1);
        setenv("LC_ALL", opts.locale.c_str(), 1);
        for (std::string &e : opts.env) putenv(e.data());
        ::signal(SIGINT, SIG_DFL); // not ignored, as it is when started in the background
        execv(c_argv[0], c_argv.data());
        std::fprintf(stderr, "cannot run %s: %s\n", c_argv[0], std::strerror(errno));
        _exit(127);
    }
    if (pid_ < 0) {
        ADD_FAILURE() << "forkpty: " << std::strerror(errno);
        closed_ = exited_ = true;
        return;
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
}

pty_terminal::~pty_terminal() {
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGKILL);
        reap(0);
    }
    if (master_ >= 0) close(master_);
    vterm_free(vt_);
}

void pty_terminal::type(std::string_view bytes) {
    while (!bytes.empty() && !closed_) {
        ssize_t n = write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && errno == EAGAIN) {
            pump(10); // the program is not reading: keep its output flowing
        } else if (n < 0 && errno != EINTR) {
            ADD_FAILURE() << "cannot type to the program: " << std::strerror(errno);
            return;
        }
    }
}

void pty_terminal::signal(int sig) {
    if (pid_ > 0 && !exited_) kill(pid_, sig);
}

void pty_terminal::hang_up() {
    pump(0);
    close(master_);
    master_ = -1; // a wait polls nothing then: only time passes
    closed_ = true;
}

void pty_terminal::resize(int rows, int cols) {
    pump(0); // what was written for the old size lands on it
    rows_ = rows;
    cols_ = cols;
    vterm_set_size(vt_, rows, cols);
    winsize size{static_cast<unsigned short>(rows), static_cast<unsigned short>(cols), 0, 0};
    if (ioctl(master_, TIOCSWINSZ, &size) != 0)
        ADD_FAILURE() << "cannot resize the terminal: " << std::strerror(errno);
}

// Reads what the program wrote, waiting up to wait_ms for the first bytes,
// and feeds it all to the terminal.
void pty_terminal::pump(int wait_ms) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, wait_ms) <= 0 || closed_) return;
    char buf[4096];
    for (;;) {
        ssize_t n = read(master_, buf, sizeof buf);
        if (n > 0) {
            output_.append(buf, static_cast<size_t>(n));
            vterm_input_write(vt_, buf, static_cast<size_t>(n));
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            closed_ = true; // EIO once the program is gone
            break;
        } else if (errno == EAGAIN) {
            break;
        }
    }
    vterm_screen_flush_damage(vscreen_);
}

bool pty_terminal::reap(int flags) {
    if (exited_) return true;
    int raw = 0;
    pid_t r;
    do r = waitpid(pid_, &raw, flags);
    while (r < 0 && errno == EINTR);
    if (r != pid_) return false;
    exited_ = true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : -1;
    return true;
}

std::string pty_terminal::cells(int r, bool utf8) const {
    std::string text;
    auto put = [&text](uint32_t c) { // in UTF-8: a lead byte, then six bits a byte
        int n = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        text += static_cast<char>(n ? (0xF0 << (3 - n) & 0xFF) | c >> 6 * n : c);
        while (n-- > 0) text += static_cast<char>(0x80 | (c >> 6 * n & 0x3F));
    };
    for (int c = 0; c < cols_; c++) {
        VTermScreenCell sc{};
        vterm_screen_get_cell(vscreen_, VTermPos{r, c}, &sc);
        if (sc.chars[0] == static_cast<uint32_t>(-1)) continue; // a wide one's right half
        if (!utf8 || sc.chars[0] == 0) text += cell_char(sc);
        for (int i = 0; utf8 && i < VTERM_MAX_CHARS_PER_CELL && sc.chars[i] != 0; i++)
            put(sc.chars[i]);
    }
    return text.erase(text.find_last_not_of(' ') + 1);
}

cell pty_terminal::at(int r, int c) const {
    VTermScreenCell sc{};
    vterm_screen_get_cell(vscreen_, VTermPos{r, c}, &sc);
    return {colour_index(sc.fg, true), colour_index(sc.bg, false), sc.attrs.bold != 0,
            sc.attrs.reverse != 0};
}

int pty_terminal::cursor(bool want_row) const {
    VTermPos pos{};
    vterm_state_get_cursorpos(vterm_obtain_state(vt_), &pos);
    return want_row ? pos.row : pos.col;
}

termios pty_terminal::modes() const {
    termios t{};
    tcgetattr(master_, &t);
    return t;
}

std::string pty_terminal::dump() const {
    std::string out = "screen " + std::to_string(cols_) + "x" + std::to_string(rows_) +
                      ", cursor at " + std::to_string(cursor_row()) + "," +
                      std::to_string(cursor_col()) + (exited_ ? ", program ended" : "") + ":\n";
    for (int r = 0; r < rows_; r++)
        out += (r < 10 ? " " : "") + std::to_string(r) + " |" + text(r) + "\n";
    return out;
}

testing::AssertionResult pty_terminal::wait_for(const std::function<bool()> &done,
                                                const std::string &what) {
    auto until = deadline();
    for (;;) {
        pump(0);
        if (done()) return testing::AssertionSuccess();
        if (ms_until(until) == 0 || closed_)
            return testing::AssertionFailure()
                   << "gave up waiting for " << what
                   << (closed_ ? " (the program closed the terminal)\n" : "\n") << dump()
                   << "its last output: "
                   << testing::PrintToString(
                          output_.substr(output_.size() > 300 ? output_.size() - 300 : 0));
        pump(std::min(ms_until(until), 50));
    }
}

testing::AssertionResult pty_terminal::wait_row(int r, const std::string &text) {
    return wait_for([&] { return row(r) == text; },
                    "row " + std::to_string(r) + " to read \"" + text + "\"");
}

testing::AssertionResult pty_terminal::wait_text(int r, const std::string &want) {
    return wait_for([&] { return text(r) == want; },
                    "row " + std::to_string(r) + " to read \"" + want + "\"");
}

testing::AssertionResult pty_terminal::wait_screen(const std::vector<std::string> &expected) {
    auto same = [&] {
        for (int r = 0; r < rows_; r++)
            if (row(r) != (r < static_cast<int>(expected.size()) ? expected[r] : "")) return false;
        return true;
    };
    return wait_for(same, "the screen " + testing::PrintToString(expected));
}

testing::AssertionResult pty_terminal::wait_exit(int status) {
    auto until = deadline();
    while (!reap(WNOHANG) && ms_until(until) > 0) pump(std::min(ms_until(until), 20));
    // What it wrote last; the terminal closes unless a child of it lives on.
    while (exited_ && !closed_ && ms_until(until) > 0) pump(ms_until(until));
    if (exited_ && status_ == status) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "the program "
           << (exited_ ? "ended with status " + std::to_string(status_) : "did not end")
           << ", not with " << status << "\n"
           << dump();
}

} // namespace e2e
