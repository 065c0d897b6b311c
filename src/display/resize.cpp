#include "display/resize.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>

#include "display/terminal.h"
#include "host/hangup.h"
#include "host/notice.h"

namespace {

volatile std::sig_atomic_t size_changed;
void (*resize_notice)();
// The terminal's size does not fit: keys wait until it does.
bool size_refused;

void on_size_change(int) {
    size_changed = 1;
}

void show_refusal(int cols, int rows) {
    char text[64];
    if (cols < SCREEN_MIN_COLS || rows < SCREEN_MIN_ROWS)
        std::snprintf(text, sizeof text, "ox: window too small (%dx%d)", SCREEN_MIN_COLS,
                      SCREEN_MIN_ROWS);
    else
        std::snprintf(text, sizeof text, "ox: window too large (%dx%d)", SCREEN_MAX_COLS,
                      SCREEN_MAX_ROWS);
    std::string shown = text;
    if (static_cast<int>(shown.size()) > cols) shown.resize(static_cast<size_t>(cols));
    th_setcol(col_tab[CT_TEXT]);
    th_cls();
    th_p_raw_str(shown.c_str());
    th_sync_screen();
}

void take_up_size() {
    size_changed = 0;
    int cols, rows;
    if (!th_terminal_size(&cols, &rows)) return;
    th_resize(cols, rows);
    size_refused = !th_size_fits(cols, rows);
    if (size_refused) {
        show_refusal(cols, rows);
    } else if (resize_notice != nullptr) {
        resize_notice();
        th_sync_for_input();
    }
}

} // namespace

void th_watch_size() {
    struct sigaction act {};
    act.sa_handler = on_size_change;
    sigemptyset(&act.sa_mask);
    // Reads and writes carry on; the wait for input (ppoll) is cut short.
    act.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &act, nullptr);
}

void th_set_resize_notice(void (*notice)()) {
    register_notice(resize_notice, notice);
}

bool th_terminal_size(int *cols, int *rows) {
    winsize ws{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0 || ws.ws_row == 0)
        return false;
    *cols = ws.ws_col;
    *rows = ws.ws_row;
    return true;
}

void th_size_noticed() {
    size_changed = 0;
}

void th_size_changed() {
    size_changed = 1;
}

void th_wait_input() {
    // SIGWINCH and the hang-up signals are held back except inside ppoll, so
    // that one recorded just after the checks below still ends the wait.
    sigset_t outside, waiting;
    hangup_hold_back(SIGWINCH, &outside, &waiting);
    pollfd typed{STDIN_FILENO, POLLIN, 0};
    for (;;) {
        if (size_changed) {
            sigprocmask(SIG_SETMASK, &outside, nullptr);
            take_up_size();
            hangup_hold_back(SIGWINCH, &outside, &waiting);
            continue;
        }
        if (hangup_due()) {
            sigprocmask(SIG_SETMASK, &outside, nullptr);
            hangup_poll(); // saves the work and ends the editor
            hangup_hold_back(SIGWINCH, &outside, &waiting);
            continue;
        }
        typed.revents = 0;
        // While the size is refused only a signal ends the wait.
        int n = ppoll(&typed, size_refused ? 0 : 1, nullptr, &waiting);
        if (n > 0 || (n < 0 && errno != EINTR)) break;
    }
    sigprocmask(SIG_SETMASK, &outside, nullptr);
    if (typed.revents & (POLLHUP | POLLERR | POLLNVAL)) hangup_terminal_gone();
}
