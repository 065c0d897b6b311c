#include "commands/search_poll.h"

#include <ctime>

#include "display/keyboard.h"
#include "display/keys.h"
#include "host/mdep.h"

namespace {

// The terminal is asked at most this often...
constexpr long long POLL_EVERY_NS = 4'000'000;
// ...and the clock read once in this many lines.
constexpr unsigned LINES_PER_CLOCK = 32;

long long last_poll_ns;
unsigned lines_since_clock;
bool escape_seen;

// The monotonic clock is read without a system call on the hosts we run on.
long long now_ns() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

int poll_when_due() {
    if (escape_seen) return 1;
    long long now = now_ns();
    if (now - last_poll_ns < POLL_EVERY_NS) return 0;
    last_poll_ns = now;
    escape_seen = key_escape_pending() != 0;
    return escape_seen;
}

} // namespace

int key_escape_pending() {
    unhog();
    if (th_key_status() == 0) return 0;
    return th_key_read() == K_ESCAPE;
}

void escape_watch_start() {
    key_escape_pending();
    last_poll_ns = now_ns();
    lines_since_clock = 0;
    escape_seen = false;
}

int escape_watch_check() {
    if (++lines_since_clock < LINES_PER_CLOCK) return escape_seen;
    lines_since_clock = 0;
    return poll_when_due();
}

int escape_watch_hook() {
    return poll_when_due();
}

int escape_watch_seen() {
    return escape_seen;
}
