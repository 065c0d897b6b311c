// The table of the editor's 93 commands.
//
// Every action is a named command whose handler takes no parameters and reads
// its arguments from arg_val (commands/arguments.h), filled by the executor in
// the order of the command's argument descriptors. The table is the one list
// of commands: the executor looks names up in it and the menu is built from
// it. A row whose handler is null names a command that does not exist yet:
// the executor reports "command not found" for it and menus leave it out.
//
// Adding a handler: declare it in the header of its group (character
// commands in commands/char_commands.h, key commands in
// commands/key_commands.h, ...), include that header in command_table.cpp and
// put the handler in its row in place of the null pointer.
#pragma once

// Argument types.
enum arg_type {
    ARG_NUMBER = 0,   // decimal, or "&" and hexadecimal digits
    ARG_STRING = 1,   // a double-quoted string
    ARG_BUFFER = 2,   // "." or a quoted buffer name
    ARG_LANGUAGE = 3, // "." or a quoted language name
    ARG_CHAR = 4,     // one character in single quotes, or a number
    ARG_YESNO = 5,    // "yes" or "no"
    ARG_WHEN = 6,     // "never", "if_open" or "always"
};

struct arg_desc {
    int type;           // arg_type
    const char *prompt; // the question asked for a "?"
};

using command_handler = void (*)();

struct command_entry {
    const char *name;     // as written in command texts
    command_handler func; // null while the command does not exist
    int n_args;           // 0 to MAX_ARGS
    const arg_desc *args; // n_args descriptors
};

inline constexpr int N_COMMANDS = 93;
inline constexpr int MAX_ARGS = 9;

extern const command_entry cmd_table[N_COMMANDS];

// The index of the row whose name equals the word exactly, or -1. Rows with
// a null handler are found too.
int lookup_command(const char *name);
