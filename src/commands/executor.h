// Running command texts.
//
// A command text is a sequence of commands separated by white space, each a
// command name (commands/command_table.h) followed by its arguments
// (commands/arguments.h); a ";" where a command would start makes the rest of
// the text a comment. Texts come from key bindings, the initialisation file,
// the command prompt and line_exec.
#pragma once

// Runs a command text of at most LINE_MAX_TEXT bytes (a longer one is cut
// there); it is copied first, so it may be a binding's own stored text. Stops
// at the end of the text, at a ";", or once exit_flag is set: after the
// command that set it, and at once when it was set before (so lines of the
// initialisation file after an exit command run nothing).
// Returns 1 when it ran to its end, 0 when a command raised an error: the
// message is on the prompt line and the rest of the text was abandoned.
// Runs nest (line_exec): an error ends only the innermost run.
int exec_commands(const char *text);

// Runs the command at p (no white space before it): looks its name up
// ("command not found", also for a command that does not exist yet), reads
// each argument after white space into arg_val ("insufficient arguments" when
// the text ends first; a "?" asks for it), calls the handler, and returns the
// position after the last argument. Raises errors: call it only beneath a
// recovery point.
const char *exec_command(const char *p);
