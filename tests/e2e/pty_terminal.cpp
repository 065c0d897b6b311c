#include "e2e/pty_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

extern char **environ;

namespace e2e {

namespace {

using clock_type = std::chrono::steady_clock;

bool tracing() {
    const char *v = std::getenv("OX_E2E_TRACE");
    return v != nullptr && *v != '\0' && *v != '0';
}

long long ms_until(clock_type::time_point deadline) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock_type::now())
        .count();
}

// Bytes as a C string literal would write them.
std::string c_literal(std::string_view bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out + "\"";
}

void append_utf8(std::string &out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xc0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xe0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3f));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
}

int colour_index(const VTermColor &c, bool foreground) {
    if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&c) : VTERM_COLOR_IS_DEFAULT_BG(&c)) return -1;
    if (VTERM_COLOR_IS_INDEXED(&c)) return c.indexed.idx;
    return 0x1000000 | c.rgb.red << 16 | c.rgb.green << 8 | c.rgb.blue;
}

// The environment of the program: the inherited one with TERM chosen, LINES
// and COLUMNS dropped (curses would believe them over the terminal) and the
// test's own settings on top.
std::vector<std::string> child_environment(const options &opts) {
    std::vector<std::string> env;
    auto overridden = [&](const std::string &entry) {
        std::string name = entry.substr(0, entry.find('='));
        if (name == "TERM" || name == "LINES" || name == "COLUMNS") return true;
        for (const std::string &e : opts.env)
            if (e.substr(0, e.find('=')) == name) return true;
        return false;
    };
    for (char **e = environ; *e != nullptr; e++)
        if (!overridden(*e)) env.emplace_back(*e);
    env.push_back("TERM=" + opts.term);
    for (const std::string &e : opts.env) env.push_back(e);
    return env;
}

std::vector<char *> c_strings(std::vector<std::string> &strings) {
    std::vector<char *> out;
    for (std::string &s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

} // namespace

int default_timeout() {
    const char *v = std::getenv("OX_E2E_TIMEOUT_MS");
    return v != nullptr && std::atoi(v) > 0 ? std::atoi(v) : 10000;
}

pty_terminal::pty_terminal(std::vector<std::string> argv, options opts)
    : rows_(opts.rows), cols_(opts.cols), answer_queries_(opts.answer_queries) {
    vt_ = vterm_new(rows_, cols_);
    vterm_set_utf8(vt_, 1);
    vterm_output_set_callback(vt_, &pty_terminal::on_output, this);
    vscreen_ = vterm_obtain_screen(vt_);
    vterm_screen_enable_altscreen(vscreen_, 1);
    vterm_screen_reset(vscreen_, 1);

    std::vector<std::string> env = child_environment(opts);
    std::vector<char *> c_argv = c_strings(argv);
    std::vector<char *> c_env = c_strings(env);
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows_);
    size.ws_col = static_cast<unsigned short>(cols_);
    if (tracing())
        std::fprintf(stderr, "[e2e] start %s in %dx%d, TERM=%s\n", argv[0].c_str(), cols_, rows_,
                     opts.term.c_str());
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
        ::signal(SIGINT, opts.ignore_sigint ? SIG_IGN : SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execve(c_argv[0], c_argv.data(), c_env.data());
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

void pty_terminal::on_output(const char *bytes, size_t len, void *self) {
    auto *t = static_cast<pty_terminal *>(self);
    t->answers_.append(bytes, len);
    if (t->answer_queries_ && t->master_ >= 0) {
        ssize_t n = write(t->master_, bytes, len);
        (void)n;
    }
}

void pty_terminal::type(std::string_view bytes) {
    if (tracing()) std::fprintf(stderr, "[e2e] type %s\n", c_literal(bytes).c_str());
    while (!bytes.empty() && !closed_) {
        ssize_t n = write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(n);
        } else if (n < 0 && errno == EAGAIN) {
            pump(10); // the program is not reading: keep its output flowing
        } else if (n < 0 && errno != EINTR) {
            ADD_FAILURE() << "cannot type to the program: " << std::strerror(errno);
            return;
        }
    }
}

void pty_terminal::pause(int ms) {
    if (tracing()) std::fprintf(stderr, "[e2e] pause %d ms\n", ms);
    auto deadline = clock_type::now() + std::chrono::milliseconds(ms);
    for (long long left; (left = ms_until(deadline)) > 0;) pump(static_cast<int>(left));
}

void pty_terminal::signal(int sig) {
    if (tracing()) std::fprintf(stderr, "[e2e] signal %d\n", sig);
    if (pid_ > 0 && !exited_) kill(pid_, sig);
}

void pty_terminal::resize(int rows, int cols) {
    if (tracing()) std::fprintf(stderr, "[e2e] resize to %dx%d\n", cols, rows);
    pump(0);
    rows_ = rows;
    cols_ = cols;
    vterm_set_size(vt_, rows, cols);
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(cols);
    if (master_ >= 0) ioctl(master_, TIOCSWINSZ, &size);
}

// Reads what the program wrote, waiting up to wait_ms for the first bytes,
// and feeds it all to the terminal.
void pty_terminal::pump(int wait_ms) {
    if (closed_) {
        if (wait_ms > 0) poll(nullptr, 0, wait_ms);
        return;
    }
    pollfd p{master_, POLLIN, 0};
    int ready = poll(&p, 1, wait_ms);
    if (ready <= 0) return;
    char buf[4096];
    for (;;) {
        ssize_t n = read(master_, buf, sizeof buf);
        if (n > 0) {
            output_.append(buf, static_cast<size_t>(n));
            vterm_input_write(vt_, buf, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || errno != EAGAIN) closed_ = true; // EIO once the program is gone
        break;
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

bool pty_terminal::running() {
    pump(0);
    return !reap(WNOHANG);
}

std::string pty_terminal::row(int r) const {
    std::string text;
    for (int c = 0; c < cols_; c++) {
        VTermScreenCell sc{};
        vterm_screen_get_cell(vscreen_, VTermPos{r, c}, &sc);
        if (sc.chars[0] == 0) {
            text += ' ';
            continue;
        }
        if (sc.chars[0] == static_cast<uint32_t>(-1)) continue; // right half of a wide character
        for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && sc.chars[i] != 0; i++)
            append_utf8(text, sc.chars[i]);
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::vector<std::string> pty_terminal::screen() const {
    std::vector<std::string> rows;
    for (int r = 0; r < rows_; r++) rows.push_back(row(r));
    return rows;
}

cell pty_terminal::at(int r, int c) const {
    VTermScreenCell sc{};
    vterm_screen_get_cell(vscreen_, VTermPos{r, c}, &sc);
    cell out;
    if (sc.chars[0] == 0)
        out.text = " ";
    else
        for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && sc.chars[i] != 0; i++)
            append_utf8(out.text, sc.chars[i]);
    out.fg = colour_index(sc.fg, true);
    out.bg = colour_index(sc.bg, false);
    out.bold = sc.attrs.bold;
    out.reverse = sc.attrs.reverse;
    out.underline = sc.attrs.underline != 0;
    return out;
}

int pty_terminal::cursor_row() const {
    VTermPos pos{};
    vterm_state_get_cursorpos(vterm_obtain_state(vt_), &pos);
    return pos.row;
}

int pty_terminal::cursor_col() const {
    VTermPos pos{};
    vterm_state_get_cursorpos(vterm_obtain_state(vt_), &pos);
    return pos.col;
}

termios pty_terminal::modes() const {
    termios t{};
    tcgetattr(master_, &t);
    return t;
}

std::string pty_terminal::dump(const std::vector<int> &marked) const {
    std::ostringstream out;
    out << "screen " << cols_ << "x" << rows_ << ", cursor at row " << cursor_row() << " column "
        << cursor_col() << (exited_ ? ", program ended" : "") << ":\n";
    for (int r = 0; r < rows_; r++) {
        bool mark = false;
        for (int m : marked) mark = mark || m == r;
        char num[16];
        std::snprintf(num, sizeof num, "%c%3d |", mark ? '>' : ' ', r);
        out << num << row(r) << "\n";
    }
    return out.str();
}

std::string pty_terminal::snapshot() const {
    std::vector<std::string> rows = screen();
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    std::ostringstream out;
    out << "ASSERT_TRUE(t.wait_screen({\n";
    for (const std::string &r : rows) out << "    " << c_literal(r) << ",\n";
    out << "}));\n";
    return out.str();
}

testing::AssertionResult pty_terminal::failed(const std::string &what,
                                              const std::vector<int> &marked) const {
    testing::AssertionResult result = testing::AssertionFailure();
    result << "gave up waiting for " << what << "\n" << dump(marked);
    if (closed_) {
        size_t tail = output_.size() > 300 ? output_.size() - 300 : 0;
        result << "the program's last output: " << c_literal(std::string_view(output_).substr(tail))
               << "\n";
    }
    return result << "as a test would expect it:\n" << snapshot();
}

testing::AssertionResult pty_terminal::wait_for(const std::function<bool()> &done,
                                                const std::string &what, int timeout_ms) {
    return wait_marked(done, what, timeout_ms, {});
}

testing::AssertionResult pty_terminal::wait_marked(const std::function<bool()> &done,
                                                   const std::string &what, int timeout_ms,
                                                   const std::vector<int> &marked) {
    auto deadline = clock_type::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        pump(0);
        if (done()) {
            if (tracing()) std::fprintf(stderr, "[e2e] saw %s\n%s", what.c_str(), dump().c_str());
            return testing::AssertionSuccess();
        }
        long long left = ms_until(deadline);
        if (left <= 0) return failed(what + " (" + std::to_string(timeout_ms) + " ms)", marked);
        if (closed_) return failed(what + " (the program closed the terminal)", marked);
        pump(static_cast<int>(left < 50 ? left : 50));
    }
}

testing::AssertionResult pty_terminal::wait_row(int r, const std::string &text, int timeout_ms) {
    std::string what = "row " + std::to_string(r) + " to read " + c_literal(text);
    return wait_marked([&] { return row(r) == text; }, what, timeout_ms, {r});
}

testing::AssertionResult pty_terminal::wait_text(const std::string &text, int timeout_ms) {
    return wait_for(
        [&] {
            for (int r = 0; r < rows_; r++)
                if (row(r).find(text) != std::string::npos) return true;
            return false;
        },
        "the screen to show " + c_literal(text), timeout_ms);
}

testing::AssertionResult pty_terminal::wait_screen(const std::vector<std::string> &expected,
                                                   int timeout_ms) {
    auto wanted = [&](int r) {
        return r < static_cast<int>(expected.size()) ? expected[r] : std::string();
    };
    auto same = [&] {
        for (int r = 0; r < rows_; r++)
            if (row(r) != wanted(r)) return false;
        return true;
    };
    testing::AssertionResult result = wait_for(same, "the expected screen", timeout_ms);
    if (result) return result;
    std::vector<int> differ;
    std::ostringstream want;
    for (int r = 0; r < rows_; r++)
        if (row(r) != wanted(r)) {
            differ.push_back(r);
            want << "   " << r << " |" << wanted(r) << "\n";
        }
    return failed("the expected screen; the rows marked differ, they should read:\n" + want.str(),
                  differ);
}

testing::AssertionResult pty_terminal::wait_exit(int status, int timeout_ms) {
    auto deadline = clock_type::now() + std::chrono::milliseconds(timeout_ms);
    while (!reap(WNOHANG)) {
        long long left = ms_until(deadline);
        if (left <= 0)
            return failed("the program to end (" + std::to_string(timeout_ms) + " ms)", {});
        pump(static_cast<int>(left < 20 ? left : 20));
    }
    // What it wrote last; the terminal closes unless a child of it lives on.
    while (!closed_ && ms_until(deadline) > 0) pump(static_cast<int>(ms_until(deadline)));
    if (status_ != status)
        return testing::AssertionFailure()
               << "the program ended with status " << status_ << ", not " << status << "\n"
               << dump();
    return testing::AssertionSuccess();
}

} // namespace e2e
