// The editor's run: start-up, the files named on the command line, and the
// main loop.
//
// A message of start-up that waits for a key ends with ", press a key ...",
// the file name it carries cut to leave room for that, since the screen
// behind it may not be drawn yet and a key typed for the editor would be
// taken by the wait.
#pragma once

// Everything between start-up and shut-down:
//  1. makes the built-in language "top" and the first buffer (no name, no
//     parent, language "top"), which becomes current;
//  2. lists each file name that is an acceptable host name, in command-line
//     order, in the first buffer as an open virtual fold line at indent 0,
//     and puts the first buffer's cursor on the first of them;
//  3. reads the initialisation file: ini_name when given, else the one
//     get_ox_fn finds for program_path. A name that is not an acceptable host
//     name shows "bad initialisation file name", waits for a key, and no
//     bindings are made at all;
//  4. when auto_load is set, loads each acceptable file into a buffer of its
//     own (load_file) whose parent is the buffer current then; when exactly
//     one file was loaded its buffer becomes current;
//  5. draws the screen, shows the banner and runs the main loop until a
//     command sets the exit flag (which the initialisation file may do
//     already).
// Returns 1 after the main loop, or 0 when the editor cannot be set up: no
// memory for the language, the first buffer or a virtual fold line, or no
// buffer for a file to load.
int edit(const char *program_path, int n_files, char *const *files, int auto_load,
         const char *ini_name);

// What load_file did.
enum load_result {
    LOAD_NO_BUFFER = 0,   // no buffer could be made: the table is full or memory ran out
    LOAD_DONE = 1,        // the buffer was made and its file read, as far as it could be
    LOAD_NO_LANGUAGE = 2, // no language applies and "top" is gone: the file was skipped
};

// Loads a file (a host file name) into a new buffer with that parent id, in
// the language whose match expression takes the name, else "top". Shows
// "reading " and the name while it reads; a read that fails shows why ("can't
// open ", "fold structure corrupt in ", "out of memory reading ") with the
// name and waits for a key, the buffer staying with what was read (nothing
// for a missing file: a new file). Then, each waiting for a key, "warning:
// readonly file " and the name for a read-only file, and the warning of a
// read that changed the text (long lines split, NUL bytes dropped) with the
// name. The buffer starts unchanged; cur_buffer is not changed.
//
// When neither a matching language nor "top" exists (the initialisation file
// deleted it), no buffer is made: "can't deduce language" is shown, a key is
// awaited and the file is skipped.
load_result load_file(const char *fn, int parent);

// The banner shown on the prompt line when the editor has started.
extern const char banner[];
