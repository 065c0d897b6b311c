// The other commands that end the editor, draw the screen again and switch
// backups.
#pragma once

// other_exit (sure): on yes, offers every changed buffer that has a file name
// for writing, in table order, asking "<name> not written, write: " and for a
// read-only file "<name> readonly, overwrite: ", and writes those the user
// wants (commands/write_back.h); then the editor ends with status 0. The
// first write that fails stops the exit with its message: the editor goes on,
// buffers written so far stay written, the rest keep their changes.
void cmd_exit();

// other_abort (sure): on yes the editor ends with status 1 at once, writing
// nothing and asking nothing.
void cmd_abort();

// other_redraw: clears the screen and draws it all again.
void cmd_redraw();

// other_backups (flag): switches backups on or off and says which.
void cmd_backups();
