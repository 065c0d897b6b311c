// The caller's poll hook, which every kind of match calls every few thousand
// steps, and whether the last match gave up.
#pragma once

extern int poll_countdown;

// Calls the hook (when there is one) and starts counting again; true when it
// asks to give up, which is then recorded as the match's outcome.
bool poll_now();

// One step of a match: true when the poll was due and asks to give up.
inline bool poll_step() {
    return --poll_countdown <= 0 && poll_now();
}

// Each entry point clears the outcome first; a match that gives up (asked to,
// or out of working memory) records it.
void match_clear_abort();
void match_give_up();
bool match_gave_up();
