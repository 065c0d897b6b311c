// Giving the terminal to an outside command and taking it back, and the screen
// drawn again at the terminal's new size.
//
// While an outside command has the terminal, bracketed paste is off (th_deinit
// turns it off, th_init on again).
#pragma once

// Takes the screen down (scn_deinit, th_deinit) so that an outside command
// can use the terminal as it is normally set.
void screen_leave();

// Brings the terminal back after an outside command or a size change: th_init
// with the colour mode and the desired size. While that fails, writes
// "ox: cannot initialise screen, retry: " to the standard error and reads an
// answer from the standard input; an answer beginning with "n", or the end of
// the input (the terminal has gone), ends the program with status 3, the work
// saved first as on a hang-up (host/hangup.h). Then scn_init and clamp_rows.
// The caller redraws (refresh_all).
void screen_reinit();

// Every buffer's cursor row below the lowest row the cursor may stand on
// (cursor_row_bottom) moves up to it.
void clamp_rows();

// The terminal took up a new size (display/resize.h): clamp_rows, everything
// drawn again, and the prompt line shows what it showed, a question with
// what was typed so far included.
void screen_resized();
