#pragma once

// Running commands: a shell command on the terminal, or a filter between two
// files. Only the descriptors are redirected; the caller takes the screen down
// before and rebuilds it after. A command's exit status is not examined: the
// result is 0 only when the command interpreter could not be started.
//
// Commands run as jobs (host/job.h). A hang-up or termination that comes
// while one runs, or while "press return" is awaited, ends the command
// (SIGHUP to it, SIGKILL 200 ms later) or the wait, puts the descriptors
// back and runs the saver, which ends the editor (host/hangup.h).

// Duplicates descriptors 0, 1 and 2 into three saved copies (not inherited by
// commands). Copies still held from an earlier call are closed first.
void save_std_fds();

// Puts each saved copy back onto 0, 1 and 2 and closes the copies.
void restore_std_fds();

// The value of SHELL, or "sh" when it is unset or empty.
const char *get_shell();

// Runs the command with descriptors 0, 1 and 2 on "/dev/tty" (left as they are
// when the terminal cannot be opened); an empty command starts get_shell()
// interactively (through "sh -c", as for any command). After a non-empty
// command it writes
// "\npress return to return to ox ... " to the standard error and reads one
// line of at most 49 characters from the standard input. Returns 1 when the
// command ran, 0 when the interpreter could not be started.
int shell(const char *command);

// Runs the command with descriptor 0 reading the input file and descriptors 1
// and 2 writing the output file, which is created with permission bits 0600 or
// truncated; an empty command runs get_shell(). A file that cannot be opened
// leaves its descriptors as they are. Returns 1 or 0 like shell. When a
// hang-up ends it, both files are removed before the saver ends the editor.
int xfilter(const char *command, const char *input, const char *output);
