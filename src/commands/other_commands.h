// The other commands that end the editor, draw the screen again, change the
// colours and the screen size, and switch backups.
#pragma once

// other_exit (sure): on yes, offers every changed buffer for writing, in
// table order (commands/offer_write.h): "<name> not written, write: " and for
// a read-only file "<name> readonly, overwrite: ", for an unnamed buffer
// "unnamed buffer not written, write: " and "filename: "; it writes those the
// user wants; then the editor ends with status 0. Escape, and the first write
// that fails, stop the exit with its message: the editor goes on, buffers
// written so far stay written, the rest keep their changes.
void cmd_exit();

// other_abort (sure): on yes the editor ends with status 1 at once, writing
// nothing and asking nothing.
void cmd_abort();

// other_redraw: clears the screen and draws it all again.
void cmd_redraw();

// other_backups (flag): switches backups on or off and says which.
void cmd_backups();

// other_colours (text, fold, status, marked text, marked fold, marked status):
// the six colours of the screen (display/terminal.h), drawn again at once. A
// value the terminal cannot show keeps its colour as it was, and the command
// then fails with "bad number" once the others are in use: a number outside
// the colour bits (below 0 or above &7ff), or, on a screen in colour, the same
// foreground and background, which would hide the text.
void cmd_colours();

// other_mode (width, height): opens the terminal again for the size asked for
// (0 keeps the width or height as it is; the size the terminal then has is the
// one used) and draws it all again; nothing happens when the size asked for is
// the size it has. A width outside 40 to 200 or a height outside 10 to 150,
// the sizes the editor starts on, or a terminal that cannot be opened again,
// fails with "unable to set mode", the screen as it was.
void cmd_mode();
