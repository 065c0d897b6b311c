// The help command: where the key map and the user guide are.
#pragma once

// Records where the user guide is, for other_help: a file name, or "" when
// none was found. Set once at start-up; the text is copied.
void help_set_guide(const char *file_name);

// other_help: shows the key map, the initialisation file read at start-up
// (commands/ini_file.h), in a buffer of its own: the buffer that already holds
// it, or a new one read from the file the first time. The prompt line then
// names the user guide ("user guide: " and its name, or "no user guide
// found"); without a key map, when the default bindings are in use, it says
// so instead and no buffer changes. A key map that can no longer be read
// raises its reading error with the name and leaves no buffer behind; "out of
// memory" when all buffers are in use.
void cmd_help();
