// Hang-up and termination: the editor's work is saved, never lost, when its
// terminal goes away or it is told to end.
//
// The handlers of SIGHUP, SIGTERM, SIGQUIT and SIGXCPU only record the signal. What
// the editor registered as its saver (it writes every changed buffer to an
// emergency file and ends the process with status 1) runs at the next point
// where running it is safe: while a key is awaited (the key wait checks
// hangup_due, and the keyboard finding the terminal gone), while an outside
// command runs or its "press return" is awaited (host/process.h), and from
// the yield point of every long loop (unhog, host/mdep.h, which calls
// hangup_poll). A stretch of work that must not be cut short, such as writing
// a file in place, holds the hang-up off with a hangup_hold until it is done.
#pragma once

#include <csignal>

// Installs the handlers of SIGHUP, SIGTERM, SIGQUIT and SIGXCPU and ignores SIGXFSZ,
// so that a write past the file-size limit fails instead of ending the
// editor. SIGINT is left to the terminal layer.
void hangup_catch();

// The function that saves the work and ends the process with the status it
// is given; it never returns. One registrant at a time (host/notice.h).
void hangup_set_saver(void (*saver)(int status));

// Runs the saver when a hang-up has been recorded, unless it is held off or
// already running. Cheap enough for every line read or written.
void hangup_poll();

// For a wait on the terminal or on a command (the key wait,
// display/resize.h; host/job.h): holds back the signals a hang-up comes by
// and the signal also (SIGWINCH, SIGCHLD), storing the mask as it was in
// *outside and, in *waiting, that mask with them let through, for the wait
// itself (ppoll) so that one recorded just before it still ends it. The
// caller sets *outside again afterwards. hangup_due tells, with them held
// back, whether a recorded hang-up would run the saver now (hangup_poll then
// runs it).
void hangup_hold_back(int also, sigset_t *outside, sigset_t *waiting);
int hangup_due();

// Records that the terminal has gone (its reads give end of input or an
// error) and runs the saver, unless it is held off or already running; with
// no saver registered the process ends with status 1.
void hangup_terminal_gone();

// 1 once the terminal has gone: the saver then leaves it alone.
int hangup_terminal_lost();

// Ends the process with the status on a way out that would otherwise leave
// the work behind (the screen cannot be taken back after an outside
// command): the registered saver saves it first. Without one, exit(status).
[[noreturn]] void hangup_exit(int status);

// Holds a hang-up off while it lives; the saver runs at the next poll after.
struct hangup_hold {
    hangup_hold();
    ~hangup_hold();
    hangup_hold(const hangup_hold &) = delete;
    hangup_hold &operator=(const hangup_hold &) = delete;
};
