// Outside commands run as jobs, as a shell with job control runs them: the
// command runs in a process group of its own, which has the terminal's
// foreground while it runs (when the editor's group has it), so that what is
// typed for it (control-C, control-\, control-Z) reaches the command alone
// and a hang-up or termination reaching the editor is the editor's. While it
// waits, the editor watches for those (host/hangup.h).
#pragma once

// Runs "sh -c -- command" with the descriptors the process has now, the signal
// mask it had and SIGXFSZ back at its default (the editor ignores it), and
// waits until it ends. A command that stops (control-Z) is continued at
// once: the editor, waiting for it, cannot take its place. When a hang-up
// is due while it runs, the command's group gets SIGHUP (and SIGCONT), as
// the loss of its terminal would send, and SIGKILL when the command has not
// ended 200 ms later; then run_job returns, for the caller to put its
// descriptors back and run the saver (hangup_poll). Returns 1, or 0 when the
// command could not be started.
int run_job(const char *command);

// Reads descriptor 0 byte by byte (so that no more than the line is taken
// from the terminal) up to a line end, the end of the input, an error or max
// bytes; a hang-up that is due ends the wait at once.
void read_line_unless_hangup(int max);
