// Reaching the shell from the editor.
#pragma once

// other_shell (command): runs the command on the terminal, then waits for
// Return ("press return to return to ox ... ") so that its output can be
// read; an empty command starts the user's shell ($SHELL, else sh) until it
// ends. The screen is given up for the command and drawn again afterwards.
// The command's exit status does not matter. Raises "can't run command from
// restricted editor" when the editor was started with "-r", and "command
// failure" when no shell could be started.
void cmd_shell();
