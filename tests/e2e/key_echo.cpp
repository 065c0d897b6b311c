// key_echo: brings the terminal layer up and shows every key read, so that key
// decoding, colours and the terminal's modes can be tested through a real
// terminal. Test scaffolding, never installed.
//
//     key_echo [-c colour-mode] [-h] [-r]
//
// Row 0 shows the screen size and colour mode, row 1 the keys that do
// something, row 2 the outcome of ^T; from row 3 down every key read is logged
// as "n: code 0xhex name" (or "no name"), followed by " SIGINT" when an
// interrupt arrived since the key before. ^X then ^C ends the program, ^T
// waits until a key is typed and then shows what th_key_status gives twice and
// what th_key_read gives after it.
//
// -c  colour mode handed to th_init (default 0)
// -h  hide the cursor (cursor mode 3) while keys are awaited
// -r  once the terminal is given back, read a line in its normal modes and
//     show it
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/keyboard.h"
#include "display/keys.h"
#include "display/terminal.h"

namespace {

void show_row(int row, int colour, const std::string &text) {
    th_cy(row);
    th_setcol(colour);
    th_p_str(text.c_str());
    th_deleol();
}

std::string describe(int key) {
    int i = lookup_key_code(key);
    char text[80];
    std::snprintf(text, sizeof text, "%d 0x%x %s", key, key, i < 0 ? "no name" : key_tab[i].name);
    return text;
}

int log_row(int n) {
    return 3 + n % (y_size - 3);
}

void key_status_command() {
    show_row(2, col_tab[CT_STATUS], "status: waiting for a key");
    th_sync_screen();
    pollfd typed{STDIN_FILENO, POLLIN, 0};
    while (poll(&typed, 1, -1) < 0) {
    }
    int first = th_key_status();
    int second = th_key_status();
    int read = th_key_read();
    show_row(2, col_tab[CT_STATUS],
             "status " + describe(first) + ", status " + describe(second) + ", read " +
                 describe(read));
}

void read_line_in_normal_modes() {
    std::printf("key_echo: terminal restored, type a line: ");
    std::fflush(stdout);
    char line[200];
    if (std::fgets(line, sizeof line, stdin) != nullptr) std::printf("read: %s", line);
    std::fflush(stdout);
}

} // namespace

// When newterm fails on an unknown terminal type, curses keeps the screen it
// was preparing; that is curses' own, not a leak of this program.
extern "C" const char *__lsan_default_suppressions() {
    return "leak:new_prescr\n";
}

int main(int argc, char **argv) {
    int colour_mode = 0;
    bool hide_cursor = false;
    bool read_after = false;
    for (int opt; (opt = getopt(argc, argv, "c:hr")) != -1;) {
        switch (opt) {
        case 'c': colour_mode = std::atoi(optarg); break;
        case 'h': hide_cursor = true; break;
        case 'r': read_after = true; break;
        default: std::fprintf(stderr, "usage: key_echo [-c colour-mode] [-h] [-r]\n"); return 2;
        }
    }
    std::printf("key_echo: starting\n");
    std::fflush(stdout);
    if (!th_init(colour_mode, 0, 0)) {
        std::fprintf(stderr, "key_echo: unable to initialise screen\n");
        return 2;
    }
    show_row(0, col_tab[CT_STATUS],
             "key_echo " + std::to_string(x_size) + "x" + std::to_string(y_size) + " colour " +
                 std::to_string(colour_mode));
    show_row(1, col_tab[CT_STATUS], "^X ^C exits, ^T reads key status");
    show_row(2, col_tab[CT_STATUS], "");
    int n = 0;
    int previous = 0;
    for (;;) {
        th_cy(log_row(n));
        th_setcsr(hide_cursor ? CSR_HIDDEN : CSR_INSERT);
        int key = th_key_read();
        std::string line = std::to_string(n + 1) + ": " + describe(key);
        if (th_key_break()) line += " SIGINT";
        show_row(log_row(n), col_tab[CT_TEXT], line);
        show_row(log_row(n + 1), col_tab[CT_TEXT], "");
        n++;
        if (previous == 'X' - 64 && key == 'C' - 64) break;
        if (key == 'T' - 64) key_status_command();
        previous = key;
    }
    th_deinit();
    th_deinit(); // as a shutdown after a failed reopening would: must leave the terminal be
    if (read_after) read_line_in_normal_modes();
    return 0;
}
