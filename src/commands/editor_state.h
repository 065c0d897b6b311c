// State of the running editor that the commands share; set by the entry point,
// the exit and abort commands, and read by the main loop.
#pragma once

// 1 when the editor was started with "-r": the shell and filter commands
// refuse to run.
extern int restricted;
// The process's exit status: 0 at start, 0 after other_exit, 1 after other_abort.
extern int ret_code;
// Set to 1 by other_exit and other_abort: the main loop ends, and a command
// text being run stops after the command that set it.
extern int exit_flag;
