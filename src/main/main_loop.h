// The main loop: every key the user types becomes typing, a bound command
// text or the menu.
#pragma once

// Until a command sets the exit flag: reads a key, clears the prompt line (so
// a message stays until the next key), dispatches the key and refreshes the
// screen.
//
//   Escape                    the menu (main/menu.h)
//   32-255 but 127            typed into the text (type_char)
//   a UTF-8 character         typed too
//   a paste                   typed as it is (paste_text)
//   any other key             its bound command text, run by exec_commands
//
// A prefix key shows its name and " ..." and reads a second key; a letter
// after a prefix counts as its control key, so that ^K x, ^K X and ^K ^X are
// one binding. Escape after a prefix shows "aborted". A key that has no name
// shows "keycode <n> is not recognised", and a key or pair without a binding
// "<name> is not bound" or "<name> <name> is not bound".
//
// It starts the undo journal (commands/journal.h): what each key does is one
// action, and printable keys typed one after another on a line make one.
void main_loop();

// Shows "keycode " + the code in decimal + " is not recognised".
void keycode_message(int code);

// Runs what one key does, as the main loop does (reading the second key of a
// prefix), without refreshing.
void dispatch_key(int key);
