// An editor (or any program) run in a pseudo-terminal (80x24 unless asked)
// for the whole-process benchmarks: its output is kept and fed to libvterm, which
// answers the program's terminal queries as a real terminal does, so that a
// benchmark can wait for a text to appear in the output or on the screen,
// type keys or paste and time the process from its start to its end.
#pragma once

#include "common/fail.h"
#include "common/timing.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// The ox program the build made, which --ox replaces.
#ifndef OX_PROGRAM
#define OX_PROGRAM ""
#endif

namespace bench {

struct run_outcome {
    double total_ms = 0; // process start to its end
    double ready_ms = 0; // process start to the file shown
    double cpu_ms = 0;   // user and system time of the process
    long peak_kib = 0;   // peak resident memory
};

// One editor process in a pseudo-terminal whose output is kept, so that a
// session can wait for a text to appear in it or on the screen.
class pty_session {
  public:
    // The program runs in the folder with TERM=xterm and the environment
    // given ("NAME=value") besides what this process has, in a terminal of
    // the size given.
    pty_session(const std::vector<std::string> &argv, const std::string &dir,
                const std::vector<std::string> &env = {}, int rows = 24, int cols = 80)
        : cols_(cols) {
        vt_ = vterm_new(rows, cols);
        vterm_set_utf8(vt_, 1);
        vterm_output_set_callback(vt_, &pty_session::answer, this);
        screen_ = vterm_obtain_screen(vt_);
        vterm_screen_enable_altscreen(screen_, 1);
        vterm_screen_reset(screen_, 1);
        winsize ws{};
        ws.ws_row = static_cast<unsigned short>(rows);
        ws.ws_col = static_cast<unsigned short>(cols);
        start_ = Clock::now();
        pid_ = forkpty(&master_, nullptr, nullptr, &ws);
        if (pid_ < 0) fail("forkpty failed");
        if (pid_ == 0) {
            if (chdir(dir.c_str()) != 0) _exit(126);
            setenv("TERM", "xterm", 1);
            unsetenv("LINES");
            unsetenv("COLUMNS");
            for (const std::string &e : env) putenv(const_cast<char *>(e.c_str()));
            std::vector<char *> args;
            for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        // Typing much (a paste) goes on reading the output meanwhile: a
        // program that cannot write stops reading.
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~pty_session() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
        vterm_free(vt_);
    }
    pty_session(const pty_session &) = delete;
    pty_session &operator=(const pty_session &) = delete;

    // Waits for the text to appear in the output after what earlier waits
    // found; the time it appeared.
    Clock::time_point wait_for(const std::string &text) {
        for (;;) {
            size_t at = output_.find(text, seen_);
            if (at != std::string::npos) {
                seen_ = at + text.size();
                return Clock::now();
            }
            if (!pump(deadline_ms_)) fail("no \"" + text + "\" from " + name() + "\n" + tail());
        }
    }
    // Waits for the texts one after the other; the time the last appeared.
    Clock::time_point wait_for_each(const std::vector<std::string> &texts) {
        Clock::time_point last = Clock::now();
        for (const std::string &text : texts) last = wait_for(text);
        return last;
    }
    // Waits for the screen's row to show the text.
    void wait_for_row(int row, const std::string &text) {
        Clock::time_point start = Clock::now();
        while (screen_row(row).find(text) == std::string::npos) {
            if (ms_since(start) > deadline_ms_)
                fail("row " + std::to_string(row) + " never showed \"" + text + "\"\n" + tail());
            pump(100);
        }
    }
    // Sends all the bytes, reading the output meanwhile.
    void type(const std::string &bytes) {
        size_t at = 0;
        while (at < bytes.size()) {
            ssize_t n = write(master_, bytes.data() + at, bytes.size() - at);
            if (n > 0)
                at += static_cast<size_t>(n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                fail("cannot type to " + name());
            else
                pump(5);
        }
    }
    // Waits for the end of the process, which must end with the status.
    run_outcome finish(Clock::time_point ready, int want_status = 0) {
        while (pump(deadline_ms_)) {
        }
        int status = 0;
        rusage ru{};
        if (wait4(pid_, &status, 0, &ru) != pid_) fail("wait4 failed");
        auto end = Clock::now();
        ended_ = true;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != want_status)
            fail(name() + " ended with status " + std::to_string(status) + "\n" + tail());
        run_outcome o;
        o.total_ms = ms_between(start_, end);
        o.ready_ms = ms_between(start_, ready);
        o.cpu_ms = cpu_ms(ru);
        o.peak_kib = ru.ru_maxrss;
        return o;
    }

    // Waits until the screen's row shows anything but the text.
    void wait_for_change(int row, const std::string &text) {
        Clock::time_point start = Clock::now();
        while (screen_row(row) == text) {
            if (ms_since(start) > deadline_ms_)
                fail("row " + std::to_string(row) + " kept \"" + text + "\"\n" + tail());
            pump(100);
        }
    }
    // The text of a row of the screen, its cells that hold no ASCII character
    // as spaces.
    std::string screen_row(int row) const {
        std::string text;
        for (int c = 0; c < cols_; c++) {
            VTermScreenCell cell{};
            vterm_screen_get_cell(screen_, VTermPos{row, c}, &cell);
            uint32_t ch = cell.chars[0];
            text += ch > 0 && ch < 0x80 ? static_cast<char>(ch) : ' ';
        }
        return text;
    }

  private:
    // Reads what the program wrote; false once the terminal has closed (the
    // program ended) or nothing came within the time allowed.
    bool pump(int timeout_ms) {
        pollfd p{master_, POLLIN, 0};
        int n = poll(&p, 1, timeout_ms);
        if (n <= 0) return false;
        char buf[65536];
        ssize_t got = read(master_, buf, sizeof buf);
        if (got <= 0) return false;
        output_.append(buf, static_cast<size_t>(got));
        vterm_input_write(vt_, buf, static_cast<size_t>(got));
        vterm_screen_flush_damage(screen_);
        answer_colour_queries();
        return true;
    }
    // What the terminal answers to the program's queries (cursor position,
    // device attributes) goes back to it as a real terminal's answers do;
    // vim waits at its end for answers it has not had. An answer is short:
    // it waits for room rather than for the program to read all it was sent.
    static void answer(const char *bytes, size_t len, void *self) {
        auto *s = static_cast<pty_session *>(self);
        while (len > 0) {
            ssize_t n = write(s->master_, bytes, len);
            if (n > 0) {
                bytes += n;
                len -= static_cast<size_t>(n);
                continue;
            }
            pollfd p{s->master_, POLLOUT, 0};
            if ((n < 0 && errno != EAGAIN && errno != EINTR) || poll(&p, 1, deadline_ms_) <= 0)
                fail("cannot answer a terminal query");
        }
    }
    // libvterm leaves the colour queries of xterm unanswered: a light text on
    // a dark background.
    void answer_colour_queries() {
        static const char *const queries[][2] = {
            {"\x1b]10;?", "\x1b]10;rgb:ffff/ffff/ffff\x1b\\"},
            {"\x1b]11;?", "\x1b]11;rgb:0000/0000/0000\x1b\\"},
        };
        for (size_t from = queried_; from < output_.size(); from++) {
            for (const auto &q : queries) {
                if (output_.compare(from, std::strlen(q[0]), q[0]) == 0)
                    answer(q[1], std::strlen(q[1]), this);
            }
        }
        // A query cut in two by a read is found whole after the next one.
        queried_ = output_.size() > 5 ? output_.size() - 5 : 0;
    }
    std::string name() const { return "pid " + std::to_string(pid_); }
    std::string tail() const {
        return "last output: " + output_.substr(output_.size() > 400 ? output_.size() - 400 : 0);
    }

    static constexpr int deadline_ms_ = 120000;
    int cols_;
    Clock::time_point start_;
    pid_t pid_ = -1;
    int master_ = -1;
    bool ended_ = false;
    std::string output_;
    size_t seen_ = 0;
    size_t queried_ = 0;
    VTerm *vt_ = nullptr;
    VTermScreen *screen_ = nullptr;
};

} // namespace bench
