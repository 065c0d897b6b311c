#include "ere/poll.h"

#include "ere/ere.h"

namespace {

constexpr int POLL_INTERVAL = 4096;

int (*poll_function)(void);
bool aborted;

} // namespace

int poll_countdown = POLL_INTERVAL;

bool poll_now() {
    poll_countdown = POLL_INTERVAL;
    if (!poll_function || !poll_function()) return false;
    aborted = true;
    return true;
}

void match_clear_abort() {
    aborted = false;
}

void match_give_up() {
    aborted = true;
}

bool match_gave_up() {
    return aborted;
}

void ere_set_poll(int (*poll)(void)) {
    poll_function = poll;
}

int ere_aborted(void) {
    return aborted ? 1 : 0;
}
