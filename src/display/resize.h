// A terminal whose size changes, taken up at once.
//
// The SIGWINCH handler only records that the size changed. The key reader
// waits for input through th_wait_input, which notices the record while it
// waits: it reads the terminal's size, tells curses, and when the size fits
// (th_size_fits) makes it the screen size and calls the resize notice, which
// the screen registers to draw everything again. A size that does not fit
// shows a short notice instead, and the wait holds every key back, unread,
// until the terminal fits again; nothing is lost meanwhile.
#pragma once

// Installs the SIGWINCH handler; th_init calls it once, before curses starts.
void th_watch_size();

// Who draws the screen again once it has a new size; one registrant at a
// time (host/notice.h).
void th_set_resize_notice(void (*notice)());

// Waits until a byte can be read from the terminal (or reading it would
// fail), taking up size changes meanwhile.
void th_wait_input();

// The terminal's size as the terminal gives it now; false, with the values
// left alone, when it cannot tell.
bool th_terminal_size(int *cols, int *rows);

// For th_init, which takes up the size itself: the record of a change is
// cleared (th_size_noticed), or set so that the next wait looks again
// (th_size_changed).
void th_size_noticed();
void th_size_changed();
