#pragma once

// Start and end hooks of the host layer, its yield point and the home directory.

// Records the home directory: the value of HOME, or "." when HOME is not set.
// Called first of all start-up steps, after the command line is parsed.
void mdep_init();

// Takes the host layer down. Holds nothing, so it is safe to call at any time.
void mdep_deinit();

// Yield point, called for every line read or written, for every line of the
// initialisation file and by every long loop (searching, filtering) while it
// polls the keyboard: a hang-up recorded meanwhile saves the work and ends
// the editor here (host/hangup.h).
void unhog();

// The home directory recorded by the last mdep_init ("." before the first).
const char *mdep_home_dir();
