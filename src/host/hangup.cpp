#include "host/hangup.h"

#include "host/notice.h"

#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

namespace {

volatile std::sig_atomic_t hung_up;  // a signal or the terminal: save and end
volatile std::sig_atomic_t tty_gone; // the terminal has gone
void (*registered_saver)(int status);
int holds;
bool saving;

// SIGXCPU: the soft limit of CPU time, the last warning before the hard
// limit's SIGKILL.
const int hangup_signals[] = {SIGHUP, SIGTERM, SIGQUIT, SIGXCPU};

void on_hangup(int) {
    hung_up = 1;
}

void run_saver() {
    if (!hung_up || holds || saving) return;
    if (!registered_saver) {
        // Nothing to save: a signal keeps its usual end; a lost terminal
        // leaves nothing to wait for.
        if (tty_gone) _exit(1);
        return;
    }
    saving = true;
    registered_saver(1);
}

} // namespace

void hangup_catch() {
    struct sigaction sa {};
    sa.sa_handler = on_hangup;
    sigemptyset(&sa.sa_mask);
    for (int sig : hangup_signals) sigaddset(&sa.sa_mask, sig);
    // Interrupted reads and writes start again; the key wait does not need
    // them to fail, since it waits with ppoll, which any signal ends.
    sa.sa_flags = SA_RESTART;
    for (int sig : hangup_signals) sigaction(sig, &sa, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

void hangup_set_saver(void (*saver)(int status)) {
    register_notice(registered_saver, saver);
}

void hangup_poll() {
    if (hung_up) run_saver();
}

void hangup_hold_back(int also, sigset_t *outside, sigset_t *waiting) {
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, also);
    for (int sig : hangup_signals) sigaddset(&held, sig);
    sigprocmask(SIG_BLOCK, &held, outside);
    *waiting = *outside;
    for (int sig = 1; sig < NSIG; sig++)
        if (sigismember(&held, sig)) sigdelset(waiting, sig);
}

int hangup_due() {
    return hung_up && registered_saver && !holds && !saving;
}

void hangup_terminal_gone() {
    tty_gone = 1;
    hung_up = 1;
    run_saver();
}

int hangup_terminal_lost() {
    return tty_gone;
}

void hangup_exit(int status) {
    if (registered_saver && !saving) {
        saving = true;
        registered_saver(status);
    }
    std::exit(status);
}

hangup_hold::hangup_hold() {
    holds++;
}

hangup_hold::~hangup_hold() {
    holds--;
}
