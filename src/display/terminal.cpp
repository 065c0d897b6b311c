#include "display/terminal.h"

#include <csignal>
#include <cstdio>
#include <string>

#define NCURSES_NOMACROS
#include <curses.h>

#include "display/keyboard.h"
#include "display/resize.h"
#include "display/utf8.h"

int x_size;
int y_size;
int desired_x_size;
int desired_y_size;
int mode;

int col_tab[COLOUR_USES] = {
    colour_value(PC_WHITE, PC_BLACK),
    colour_value(PC_BROWN, PC_BLACK),
    colour_value(PC_BROWN, PC_RED, COL_STANDOUT),
    colour_value(PC_WHITE, PC_BLUE, COL_STANDOUT),
    colour_value(PC_BROWN, PC_BLUE, COL_STANDOUT),
    colour_value(PC_BLACK, PC_WHITE),
};

th_counters th_stats;

// Between a successful th_init and th_deinit. A second th_deinit must not bring
// curses back only to leave it again.
static bool screen_open;
static bool curses_started;
static bool size_taken; // x_size and y_size hold a size the terminal had
static bool colour_enabled;
static int current_colour;
static int cursor_mode;
static int cur_x;
static int cur_y;
static std::string blank_line;

// PC colour indices in curses' numbering.
static const short curses_colour[8] = {COLOR_BLACK, COLOR_BLUE,    COLOR_GREEN,  COLOR_CYAN,
                                       COLOR_RED,   COLOR_MAGENTA, COLOR_YELLOW, COLOR_WHITE};

static int pair_of(int fg, int bg) {
    return (7 - fg) * 8 + bg;
}

static int mono_attribute(int colour) {
    return colour >> 8 & 7;
}

// Curses is not there before the first th_init; the primitives then only
// keep the tracked cursor, which is what the unit tests look at.
static bool have_screen() {
    return stdscr != nullptr;
}

static void move_to_tracked() {
    if (have_screen()) wmove(stdscr, cur_y, cur_x);
}

static void park_cursor() {
    if (have_screen()) wmove(stdscr, y_size - 1, x_size - 1);
}

static void catch_interrupts() {
    struct sigaction old {};
    sigaction(SIGINT, nullptr, &old);
    if (old.sa_handler == SIG_IGN) return; // started in the background: stay so
    struct sigaction act {};
    act.sa_handler = onintr;
    sigemptyset(&act.sa_mask);
    act.sa_flags = SA_RESTART;
    sigaction(SIGINT, &act, nullptr);
}

// Bracketed paste: the terminal sends pasted text between ESC [ 200 ~ and
// ESC [ 201 ~ while it is on.
static void bracketed_paste(bool on) {
    std::fputs(on ? "\033[?2004h" : "\033[?2004l", stdout);
    std::fflush(stdout);
}

// A terminal that cannot put the cursor on a cell cannot show the screen.
static bool moves_cursor() {
    const char *cup = tigetstr("cup");
    return cup != nullptr && cup != reinterpret_cast<const char *>(-1);
}

static void set_size(int cols, int rows) {
    x_size = cols;
    y_size = rows;
    blank_line.assign(x_size > 0 ? x_size : 0, ' ');
    size_taken = true;
}

int th_init(int colour_mode, int width, int height) {
    (void)width;
    (void)height;
    if (std::freopen("/dev/tty", "w", stdout) == nullptr) return 0;
    if (std::freopen("/dev/tty", "r", stdin) == nullptr) return 0;
    if (!curses_started) {
        utf8_text_from_locale(); // before curses, which reads it too
        th_watch_size();         // before curses, which then leaves SIGWINCH alone
        // newterm rather than initscr: an unknown terminal type is a failure to
        // report, not a reason for curses to end the program.
        SCREEN *terminal = newterm(nullptr, stdout, stdin);
        if (terminal == nullptr) return 0;
        if (!moves_cursor()) {
            endwin();
            delscreen(terminal);
            return 0;
        }
        def_prog_mode();
        curses_started = true;
    }
    start_color();
    colour_enabled = colour_mode == 1 ? true : colour_mode == 2 ? false : has_colors();
    if (colour_enabled)
        for (int fg = 0; fg < 8; fg++)
            for (int bg = 0; bg < 8; bg++)
                init_pair(static_cast<short>(pair_of(fg, bg)), curses_colour[fg],
                          curses_colour[bg]);
    noecho();
    cbreak();
    nonl();
    raw();
    // The terminal may have changed its size while it was given away.
    int cols = COLS, rows = LINES;
    th_terminal_size(&cols, &rows);
    if (cols != COLS || rows != LINES) resizeterm(rows, cols);
    th_size_noticed();
    if (!size_taken || th_size_fits(cols, rows))
        set_size(cols, rows);
    else
        th_size_changed(); // the key wait says the size does not fit
    // Start from plain attributes so that th_setcol applies the text colour
    // even when the screen is reopened in another colour mode.
    wattrset(stdscr, A_NORMAL);
    current_colour = 0;
    th_setcol(colour_value(PC_WHITE, PC_BLACK));
    th_setcsr(CSR_INSERT);
    th_cls();
    wrefresh(stdscr);
    bracketed_paste(true);
    catch_interrupts();
    screen_open = true;
    return 1;
}

int th_has_colour() {
    return colour_enabled ? 1 : 0;
}

void th_deinit() {
    if (!screen_open) return;
    screen_open = false;
    th_setcol(colour_value(PC_WHITE, PC_BLACK));
    th_setcsr(CSR_INSERT);
    th_cls();
    wrefresh(stdscr);
    bracketed_paste(false);
    noraw();
    nl();
    echo();
    nocbreak();
    endwin();
}

void th_beep() {
    th_stats.beeps++;
}

void th_setcol(int colour) {
    if (colour == current_colour) return;
    if (have_screen()) {
        if (colour_enabled) {
            int fg = colour & 7;
            int bg = colour >> 4 & 7;
            attr_t attr = COLOR_PAIR(pair_of(fg, bg));
            if (fg == PC_BROWN) attr |= A_BOLD;
            wattrset(stdscr, static_cast<int>(attr));
        } else {
            if (mono_attribute(current_colour) == 2) wstandend(stdscr);
            if (mono_attribute(colour) == 2) wstandout(stdscr);
        }
    }
    current_colour = colour;
}

void th_setcsr(int csr_mode) {
    cursor_mode = csr_mode;
}

void th_cxy(int x, int y) {
    cur_x = x;
    cur_y = y;
    move_to_tracked();
}

void th_cy(int y) {
    th_cxy(0, y);
}

void th_chome() {
    th_cxy(0, 0);
}

void th_cls() {
    th_stats.clears++;
    if (have_screen()) werase(stdscr);
    th_chome();
}

void th_inslin() {
    th_stats.inserted_rows++;
    move_to_tracked();
    if (have_screen()) winsertln(stdscr);
    move_to_tracked();
}

void th_dellin() {
    th_stats.deleted_rows++;
    move_to_tracked();
    if (have_screen()) wdeleteln(stdscr);
}

void th_deleol() {
    th_stats.cleared_eols++;
    if (have_screen() && cur_x >= 0 && cur_x < static_cast<int>(blank_line.size()))
        waddstr(stdscr, blank_line.c_str() + cur_x);
    move_to_tracked();
}

int th_isprint(int byte) {
    return byte >= ' ' && byte <= '~';
}

void th_p_raw_chr(int byte) {
    th_stats.raw_chars++;
    if (have_screen()) waddch(stdscr, static_cast<unsigned char>(byte));
    if (++cur_x >= x_size) {
        cur_x = 0;
        cur_y++;
    }
}

void th_p_raw_str(const char *str) {
    th_stats.raw_strings++;
    if (have_screen()) waddstr(stdscr, str);
    cur_x += text_cells(str);
    if (cur_x >= x_size && x_size > 0) {
        cur_y += cur_x / x_size;
        cur_x %= x_size;
    }
}

void th_p_chr(int byte) {
    switch (byte) {
    case '\n':
        cur_y++;
        cur_x = 0;
        move_to_tracked();
        break;
    case '\t':
        for (int n = 8 - cur_x % 8; n > 0; n--) th_p_raw_chr(' ');
        break;
    case '\b':
        if (cur_x > 0) {
            cur_x--;
            move_to_tracked();
        }
        break;
    default: th_p_raw_chr(byte);
    }
}

void th_p_str(const char *str) {
    while (*str != '\0') th_p_chr(static_cast<unsigned char>(*str++));
}

void th_sync_screen() {
    th_sync_for_input();
    th_input_done();
}

void th_repaint_all() {
    if (have_screen()) clearok(curscr, TRUE);
}

void th_resize(int cols, int rows) {
    if (!have_screen()) return;
    resizeterm(rows, cols);
    th_repaint_all();
    if (th_size_fits(cols, rows)) set_size(cols, rows);
}

void th_sync_for_input() {
    th_stats.syncs++;
    if (!have_screen()) return;
    if (cursor_mode == CSR_HIDDEN)
        park_cursor();
    else
        move_to_tracked();
    wrefresh(stdscr);
}

void th_input_done() {
    move_to_tracked();
}

int th_cursor_x() {
    return cur_x;
}

int th_cursor_y() {
    return cur_y;
}
