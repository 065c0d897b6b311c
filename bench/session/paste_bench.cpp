// Pasting into ox as a terminal pastes: a megabyte of text in 20,000 indented
// lines, sent between the bracketed-paste marks to ox in a pseudo-terminal of
// 80x24 holding an empty file, timed from the first byte sent until the screen
// (libvterm's) shows the cursor on the line after the last one pasted. Then ox writes the file and
// leaves, and the file must hold exactly what was pasted.
//
// Run: paste_bench [--ox PATH] [--runs N] [--lines N]
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string &what) {
    std::fprintf(stderr, "paste_bench: %s\n", what.c_str());
    std::exit(1);
}

// Lines of code-like text at several indents, about 50 bytes each.
std::string pasted_text(int lines) {
    std::string text;
    const char *words[] = {"value", "count", "index", "result", "buffer", "line", "total"};
    for (int i = 0; i < lines; i++) {
        text.append(static_cast<size_t>(4 * (i % 5)), ' ');
        text += "int " + std::string(words[i % 7]) + "_" + std::to_string(i) + " = " +
                words[(i + 3) % 7] + " + " + std::to_string(i * 7 % 1000) + "; // list item\n";
    }
    return text;
}

class Ox {
  public:
    Ox(const std::string &ox, const std::string &dir) {
        vt_ = vterm_new(24, 80);
        vterm_set_utf8(vt_, 1);
        screen_ = vterm_obtain_screen(vt_);
        vterm_screen_enable_altscreen(screen_, 1);
        vterm_screen_reset(screen_, 1);
        winsize ws{};
        ws.ws_row = 24;
        ws.ws_col = 80;
        pid_ = forkpty(&master_, nullptr, nullptr, &ws);
        if (pid_ < 0) fail("forkpty failed");
        if (pid_ == 0) {
            if (chdir(dir.c_str()) != 0) _exit(126);
            setenv("TERM", "xterm", 1);
            setenv("LC_ALL", "C", 1);
            unsetenv("LINES");
            unsetenv("COLUMNS");
            execl(ox.c_str(), ox.c_str(), "-i", "bench.ini", "pasted.txt", nullptr);
            _exit(127);
        }
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~Ox() {
        if (!ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(master_);
        vterm_free(vt_);
    }

    // The text of the screen's first row, the status row of the file.
    std::string status_row() const {
        std::string row;
        for (int c = 0; c < 80; c++) {
            VTermScreenCell cell{};
            vterm_screen_get_cell(screen_, VTermPos{0, c}, &cell);
            row +=
                cell.chars[0] > 0 && cell.chars[0] < 0x80 ? static_cast<char>(cell.chars[0]) : ' ';
        }
        return row;
    }
    // Waits until the status row shows the line number as the cursor's.
    void wait_for_line(const std::string &number) {
        auto until = Clock::now() + std::chrono::seconds(60);
        while (status_row().find(" " + number + " ") == std::string::npos) {
            if (Clock::now() > until) fail("the status row never showed line " + number);
            pump(100);
        }
    }

    // Reads what ox wrote until the text appears after what was found before.
    void wait_for(const std::string &text) {
        auto until = Clock::now() + std::chrono::seconds(60);
        while (output_.find(text, seen_) == std::string::npos) {
            if (Clock::now() > until)
                fail("no \"" + text + "\" from ox; its last output: " +
                     output_.substr(output_.size() > 300 ? output_.size() - 300 : 0));
            pump(100);
        }
        seen_ = output_.find(text, seen_) + text.size();
    }
    // Sends all the bytes, reading ox's output meanwhile.
    void type(const std::string &bytes) {
        size_t at = 0;
        while (at < bytes.size()) {
            ssize_t n = write(master_, bytes.data() + at, bytes.size() - at);
            if (n > 0)
                at += static_cast<size_t>(n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                fail("cannot type to ox");
            else
                pump(5);
        }
    }
    void finish() {
        while (pump(2000)) {
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        ended_ = true;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail("ox did not end with status 0");
    }

  private:
    bool pump(int timeout_ms) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, timeout_ms) <= 0) return false;
        char buf[65536];
        ssize_t got = read(master_, buf, sizeof buf);
        if (got <= 0) return false;
        output_.append(buf, static_cast<size_t>(got));
        vterm_input_write(vt_, buf, static_cast<size_t>(got));
        vterm_screen_flush_damage(screen_);
        return true;
    }

    pid_t pid_ = -1;
    int master_ = -1;
    bool ended_ = false;
    std::string output_;
    size_t seen_ = 0;
    VTerm *vt_ = nullptr;
    VTermScreen *screen_ = nullptr;
};

} // namespace

int main(int argc, char **argv) {
    std::string ox_path;
#ifdef OX_PROGRAM
    ox_path = OX_PROGRAM;
#endif
    int runs = 5, lines = 20000;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--ox")
            ox_path = argv[i + 1];
        else if (a == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (a == "--lines")
            lines = std::max(1, std::atoi(argv[i + 1]));
        else
            fail("usage: paste_bench [--ox PATH] [--runs N] [--lines N]");
    }
    if (ox_path.empty() || access(ox_path.c_str(), X_OK) != 0) fail("no ox; give --ox PATH");

    std::string dir = "/tmp/ox_paste_XXXXXX";
    if (!mkdtemp(dir.data())) fail("cannot make a folder in /tmp");
    std::ofstream(dir + "/bench.ini") << "key_bind \"^X\" \"other_exit yes\"\n";
    const std::string text = pasted_text(lines);
    const std::string last_line = std::to_string(lines + 1);
    std::printf("paste: %d lines, %.2f MB, bracketed, into an empty file\n", lines,
                static_cast<double>(text.size()) / 1e6);

    std::vector<double> times;
    for (int r = 0; r < runs; r++) {
        unlink((dir + "/pasted.bak").c_str());
        std::ofstream(dir + "/pasted.txt").flush(); // empty
        Ox ox(ox_path, dir);
        ox.wait_for("Birch Editor for");
        auto start = Clock::now();
        ox.type("\x1b[200~" + text + "\x1b[201~");
        // The status row's line number of the line after the last pasted one.
        ox.wait_for_line(last_line);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        ox.type("\x18");
        ox.wait_for("not written, write: ");
        ox.type("\r");
        ox.finish();
        std::ifstream in(dir + "/pasted.txt");
        std::stringstream saved;
        saved << in.rdbuf();
        // The line after the last one pasted, where the cursor is, is empty.
        if (saved.str() != text + "\n") fail("the file does not hold what was pasted");
        std::printf("run %d: %.1f ms\n", r + 1, times.back());
    }
    std::sort(times.begin(), times.end());
    std::printf("median %.1f ms, best %.1f ms\n", times[times.size() / 2], times.front());
    for (const char *f : {"pasted.txt", "pasted.bak", "bench.ini"}) unlink((dir + "/" + f).c_str());
    rmdir(dir.c_str());
    return 0;
}
