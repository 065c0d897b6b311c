// Reading a bracketed paste: everything the terminal sends between the
// paste's start (ESC [ 200 ~, decoded as K_PASTE) and its end, ESC [ 201 ~.
//
// paste_scan is the part that needs no terminal: it takes the bytes as they
// come, in pieces of any size, keeps the text and finds the end even when a
// piece ends inside it.
#pragma once

#include <cstddef>
#include <string>

struct paste_scan {
    std::string text; // the paste so far
    int matched = 0;  // bytes of the end sequence at the end of what came
    bool done = false;

    // Takes bytes up to and including the end sequence; returns how many it
    // took (all of them unless the paste ended among them).
    size_t feed(const char *bytes, size_t n);
};

// Milliseconds the terminal may fall silent within a paste before what came
// is taken as the whole paste.
constexpr int PASTE_GAP_TIMEOUT = 5000;
