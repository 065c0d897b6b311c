// The terminal: the only code that talks to it, through curses.
//
// th_init opens the controlling terminal and sets the screen size; the output
// primitives draw on it and keep their own record of the cursor position (the
// tracked cursor), which is where the next character goes. Nothing reaches the
// terminal itself until th_sync_screen or a key read brings it up to date.
// Keys are read through display/keyboard.h; a terminal whose size changes is
// taken up while a key is awaited (display/resize.h).
//
// While the editor owns the terminal, bracketed paste is on: the terminal
// marks pasted text, which the keyboard reads as one paste. Every way of
// giving the terminal back (th_deinit) turns it off again.
#pragma once

// Screen size in character cells, set by th_init from the terminal.
extern int x_size;
extern int y_size;
// The size asked for on the command line or by other_mode; 0 for none. They
// are handed to th_init, which leaves the size to the terminal.
extern int desired_x_size;
extern int desired_y_size;
// The sizes the screen can be used at, in columns and rows.
constexpr int SCREEN_MIN_COLS = 40;
constexpr int SCREEN_MAX_COLS = 1000;
constexpr int SCREEN_MIN_ROWS = 10;
constexpr int SCREEN_MAX_ROWS = 500;

inline bool th_size_fits(int cols, int rows) {
    return cols >= SCREEN_MIN_COLS && cols <= SCREEN_MAX_COLS && rows >= SCREEN_MIN_ROWS &&
           rows <= SCREEN_MAX_ROWS;
}

// Colour mode handed to th_init: 0 colour if the terminal has it, 1 always
// colour, 2 never colour.
extern int mode;

// A colour value is laid out like a PC text attribute: foreground index in
// bits 0-2, background index in bits 4-6, and in bits 8-10 the monochrome
// attribute, where 2 (COL_STANDOUT) means standout and anything else normal.
enum pc_colour { PC_BLACK, PC_BLUE, PC_GREEN, PC_CYAN, PC_RED, PC_MAGENTA, PC_BROWN, PC_WHITE };
constexpr int COL_STANDOUT = 0x200;

constexpr int colour_value(int fg, int bg, int mono = 0) {
    return fg | bg << 4 | mono;
}

// The entries of col_tab.
enum colour_use {
    CT_TEXT,          // text lines
    CT_FOLD,          // fold lines
    CT_STATUS,        // status rows and the prompt line
    CT_MARKED_TEXT,   // marked text lines
    CT_MARKED_FOLD,   // marked fold lines
    CT_MARKED_STATUS, // the highlighted choice of an option prompt
    COLOUR_USES
};

extern int col_tab[COLOUR_USES];

// Cursor mode CSR_HIDDEN parks the physical cursor in the bottom right cell
// while the screen is brought up to date and while a key is awaited.
constexpr int CSR_INSERT = 0;
constexpr int CSR_OVERTYPE = 1;
constexpr int CSR_HIDDEN = 3;

// Opens the controlling terminal "/dev/tty" as standard output and input and
// brings curses up in raw mode, in colour when the colour mode allows it.
// width and height are the size asked for; the size comes from the terminal.
// Returns 1, or 0 when the terminal cannot be opened or cannot move its
// cursor (TERM=dumb): nothing is changed then. The first call also reads the
// locale's character set (display/utf8.h).
//
// May run again after th_deinit to reopen the screen, taking up the size the
// terminal has then. A size that does not fit (th_size_fits) keeps the last
// one and leaves it to the next key wait to say so (display/resize.h).
int th_init(int colour_mode, int width, int height);
// 1 when th_init chose to draw in colour (by the colour mode and what the
// terminal has); otherwise only the monochrome attribute of a colour shows.
int th_has_colour();
// Clears the screen and gives the terminal back in its normal modes; does
// nothing unless th_init has succeeded since the last th_deinit.
void th_deinit();

void th_beep();
// Makes a colour value current for what is drawn next.
void th_setcol(int colour);
void th_setcsr(int csr_mode);
void th_cxy(int x, int y);
void th_cy(int y);
void th_chome();
// Erases the screen and homes the cursor.
void th_cls();
// Inserts a blank row at the cursor's row, pushing the rows below down.
void th_inslin();
// Deletes the cursor's row, pulling the rows below up.
void th_dellin();
// Clears from the cursor to the right margin in the current colour; the
// cursor stays.
void th_deleol();
// True for the printable bytes of the POSIX locale: letters, digits,
// punctuation and space, never a byte 128-255.
int th_isprint(int byte);
// Writes a byte unchanged; the cursor wraps to the next row at x_size.
void th_p_raw_chr(int byte);
// Writes a string unchanged; the cursor wraps to the next row at x_size. In
// UTF-8 mode a character of several bytes moves the cursor by its cells.
void th_p_raw_str(const char *str);
// Writes a byte as a terminal would: newline goes to the start of the next
// row, a tab writes spaces up to the next multiple of 8, backspace steps back
// within the row, anything else is written raw.
void th_p_chr(int byte);
void th_p_str(const char *str);
// Brings the terminal up to date.
void th_sync_screen();
// Makes the next update draw the whole screen afresh, whatever curses
// believes the terminal shows.
void th_repaint_all();

// For display/resize.h: tells curses the terminal's new size and, when it
// fits, makes it the screen size.
void th_resize(int cols, int rows);

// The tracked cursor: where the next character goes.
int th_cursor_x();
int th_cursor_y();

// For the key reader: bring the terminal up to date as th_sync_screen does but
// leave the cursor parked while it is hidden, so that the wait for a key
// shows it there; th_input_done puts curses back on the tracked cursor.
void th_sync_for_input();
void th_input_done();

// What the layer has been asked to send since the counters were last zeroed;
// tests read them to see how a screen update was done.
struct th_counters {
    long inserted_rows;
    long deleted_rows;
    long cleared_eols;
    long raw_strings;
    long raw_chars;
    long clears;
    long syncs;
    long beeps;
};

extern th_counters th_stats;
