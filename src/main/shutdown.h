// Taking the editor's layers down, at the end of a run or on a fatal error.
#pragma once

// Frees the key bindings and the undelete stack, then takes the layers down
// in the order text model, screen, terminal, host. Safe at any point, also
// before a layer was brought up and when called twice: the terminal is
// restored only when it was opened.
void shutdown_all();

// Runs shutdown_all, writes "ox: " and the message to standard error and
// exits with status 2.
[[noreturn]] void fatal_exit(const char *message);
