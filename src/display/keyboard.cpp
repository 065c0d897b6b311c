#include "display/keyboard.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#define NCURSES_NOMACROS
#include <curses.h>

#include "display/key_decoder.h"
#include "display/keys.h"
#include "display/paste.h"
#include "display/resize.h"
#include "display/terminal.h"
#include "display/utf8.h"
#include "host/hangup.h"

static key_decoder typed;
static bool key_pending;
static int pending_key;
static volatile std::sig_atomic_t interrupted;
// Bytes read from the terminal after the end of a paste, read before it again.
static std::string queued;
static size_t queued_at;
static std::string paste_text;
// Keys a test answers questions with when there is no terminal.
static std::vector<int> script;
static size_t script_at;

static int queued_byte() {
    if (queued_at == queued.size()) return KEY_NO_BYTE;
    int byte = static_cast<unsigned char>(queued[queued_at++]);
    if (queued_at == queued.size()) {
        queued.clear();
        queued_at = 0;
    }
    return byte;
}

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
        int byte = queued_byte();
        if (byte != KEY_NO_BYTE) return byte;
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

// Waits in th_wait_input, which takes up size changes and hang-ups while a
// key is awaited; curses reads only once a byte is there, and a read that
// then gives nothing means the terminal has gone.
static int wait_for_byte() {
    if (int byte = queued_byte(); byte != KEY_NO_BYTE) return byte;
    for (;;) {
        th_wait_input();
        int c = wgetch(stdscr);
        if (c >= 0 && c <= 255) return c;
        if (c == ERR) hangup_terminal_gone();
    }
}

static int byte_if_waiting() {
    if (int byte = queued_byte(); byte != KEY_NO_BYTE) return byte;
    nodelay(stdscr, TRUE);
    int c = wgetch(stdscr);
    nodelay(stdscr, FALSE);
    return c >= 0 && c <= 255 ? c : KEY_NO_BYTE;
}

// The rest of a paste, read in large pieces straight from the terminal,
// which curses has no bytes of (it reads one at a time): everything up to
// its end, or up to a silence of PASTE_GAP_TIMEOUT.
static void read_paste() {
    paste_scan scan;
    queued.insert(queued_at, reinterpret_cast<char *>(typed.bytes), typed.count);
    typed.count = 0;
    typed.timed_out = 0;
    while (!scan.done) {
        if (queued_at < queued.size()) {
            queued_at += scan.feed(queued.data() + queued_at, queued.size() - queued_at);
            if (queued_at == queued.size()) {
                queued.clear();
                queued_at = 0;
            }
            continue;
        }
        pollfd in{STDIN_FILENO, POLLIN, 0};
        int ready = poll(&in, 1, PASTE_GAP_TIMEOUT);
        if (ready == 0 || (ready < 0 && errno != EINTR)) break;
        char piece[65536];
        ssize_t n = ready > 0 ? read(STDIN_FILENO, piece, sizeof piece) : -1;
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) break;
        if (n > 0) {
            size_t took = scan.feed(piece, static_cast<size_t>(n));
            queued.append(piece + took, static_cast<size_t>(n) - took);
        }
    }
    paste_text = std::move(scan.text);
}

static int decode_key() {
    typed.utf8 = utf8_text();
    int key = key_decode(&typed, &terminal_bytes);
    if (key == K_PASTE) read_paste();
    return key;
}

const std::string &th_paste_text() {
    return paste_text;
}

int th_key_read() {
    // Without a terminal (tests, fuzzing) every question is escaped, once
    // the keys of a test's script are used up.
    if (stdscr == nullptr) return script_at < script.size() ? script[script_at++] : K_ESCAPE;
    th_sync_for_input();
    int key;
    if (key_pending) {
        key_pending = false;
        key = pending_key;
    } else {
        if (typed.count == 0) key_decoder_add(&typed, wait_for_byte());
        key = decode_key();
    }
    th_input_done();
    return key;
}

void th_key_script(std::vector<int> keys) {
    script = std::move(keys);
    script_at = 0;
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
    pending_key = decode_key();
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
