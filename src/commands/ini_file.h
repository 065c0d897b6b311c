// The initialisation file: the command texts that set up key bindings,
// languages and settings when the editor starts.
//
// Each line is a command text (commands/executor.h), a comment starting with
// ";" or a section line starting with "$". A section line switches reading
// off, or on when any byte after the "$" is "*" or "U" ("$U", "$*", "$DU" on;
// "$", "$D" off); lines are run only while reading is on, as it is at the
// start. A line that fails is reported with its line number (counting every
// line of the file) and the rest of the file is still read.
#pragma once

// The number of default bindings.
inline constexpr int N_DEFAULT_BINDINGS = 23;

// The fall-back bindings, in the order they are made: key name and action.
struct default_binding {
    const char *key;
    const char *action;
};
extern const default_binding default_bindings[N_DEFAULT_BINDINGS];

// Reads and obeys the file (a host file name). When it cannot be opened or
// read (a directory is refused too), shows "cannot open file <name>, using
// defaults, ^K=exit, press a key ... ", waits for a key and makes the default
// bindings. A failing line shows "error in file <name> at line <n>, press a
// key ... " in place of its own message and waits for a key. A long name is
// cut so that the rest of either message shows. A line longer
// than LINE_MAX_TEXT bytes is not run and is reported as a failing line.
void read_ini_file(const char *name);

// The name of the file read_ini_file last read, as it was given, or "" when it
// has read none or the last one could not be opened (the default bindings are
// then in use).
const char *ini_file_name();

// Runs key_bind "<key>" "<action>" for each default binding in order.
void apply_default_bindings();
