// Reading keys from the terminal.
//
// Keys are decoded from the typed bytes (display/key_decoder.h); what
// th_key_status finds is held and returned by the next th_key_read. An
// interrupt (SIGINT) never stops the editor: it is only recorded, for
// th_key_break. In raw mode control-C arrives as key 3, so the signal comes
// only from outside. Waiting for a key, and th_key_status, are where a
// hang-up is taken up (host/hangup.h), as is a terminal that has gone.
//
// A bracketed paste is one key, K_PASTE, whose text th_paste_text gives.
// While the terminal's size does not fit the screen, the wait for a key holds
// keys back (display/resize.h).
#pragma once

#include <string>
#include <vector>

// The next key, waiting for it. The terminal is brought up to date first.
// Before the terminal is opened it is Escape, which every question takes as
// "aborted".
int th_key_read();

// For tests without a terminal: the keys th_key_read returns from now, in
// order, before it answers every question with Escape again. The keyboard
// poll (th_key_status) does not see them.
void th_key_script(std::vector<int> keys);

// The key already waiting, without waiting for one (0 when there is none). It
// stays pending: a second call returns it again, and the next th_key_read
// returns it once.
int th_key_status();

// The text of the last paste (K_PASTE), as the terminal sent it.
const std::string &th_paste_text();

// 1 if an interrupt arrived since the last call, else 0.
int th_key_break();

// The interrupt handler: records the interrupt.
void onintr(int sig);
