#include "display/keyboard.h"

#include <csignal>
#include <cstdio>
#include <ctime>

#define NCURSES_NOMACROS
#include <curses.h>

#include "display/key_decoder.h"
#include "display/keys.h"
#include "display/terminal.h"
#include "host/hangup.h"

static key_decoder typed;
static bool key_pending;
static int pending_key;
static volatile std::sig_atomic_t interrupted;

// Bytes from curses. wgetch delivers raw bytes since keypad translation is
// off; values above 255 (a resize notice) are not typed bytes and are passed
// over, as are reads cut short by a signal.
struct curses_source final : key_source {
    long long now() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
    }

    int read_byte(long long deadline) override {
        int byte = KEY_NO_BYTE;
        for (;;) {
            long long left = deadline - now();
            if (left < 0) left = 0;
            wtimeout(stdscr, static_cast<int>(left));
            int c = wgetch(stdscr);
            if (c >= 0 && c <= 255) {
                byte = c;
                break;
            }
            if (left == 0) break;
        }
        wtimeout(stdscr, -1);
        return byte;
    }
};

static curses_source terminal_bytes;

// Waits in hangup_wait_input, so that a hang-up saves the work while a key
// is awaited; curses reads only once a byte is there, and a read that then
// gives nothing means the terminal has gone.
static int wait_for_byte() {
    for (;;) {
        if (!hangup_wait_input(fileno(stdin))) continue;
        int c = wgetch(stdscr);
        if (c >= 0 && c <= 255) return c;
        if (c == ERR) hangup_terminal_gone();
    }
}

static int byte_if_waiting() {
    nodelay(stdscr, TRUE);
    int c = wgetch(stdscr);
    nodelay(stdscr, FALSE);
    return c >= 0 && c <= 255 ? c : KEY_NO_BYTE;
}

int th_key_read() {
    // Without a terminal (tests, fuzzing) every question is escaped.
    if (stdscr == nullptr) return K_ESCAPE;
    th_sync_for_input();
    int key;
    if (key_pending) {
        key_pending = false;
        key = pending_key;
    } else {
        if (typed.count == 0) key_decoder_add(&typed, wait_for_byte());
        key = key_decode(&typed, &terminal_bytes);
    }
    th_input_done();
    return key;
}

int th_key_status() {
    hangup_poll();
    if (key_pending) return pending_key;
    // Bytes left over from an earlier sequence are keys already waiting.
    if (typed.count == 0) {
        int byte = byte_if_waiting();
        if (byte == KEY_NO_BYTE) return 0;
        key_decoder_add(&typed, byte);
    }
    pending_key = key_decode(&typed, &terminal_bytes);
    key_pending = true;
    return pending_key;
}

int th_key_break() {
    int was = interrupted;
    interrupted = 0;
    return was;
}

void onintr(int sig) {
    (void)sig;
    interrupted = 1;
}
