// The menu that Escape opens: a command group, then a command of it, or
// "COMMAND" to type a whole command text.
//
// The groups are "character", "string", "word", "line", "page", "search",
// "tag", "fold", "block", "buffer", "language", "setup", "key", "other" and
// "COMMAND", each with its position (0 to 14) as its value. A group's commands
// are those of the command table whose names begin with the group's name and
// "_", in table order, each shown as the rest of its name ("left",
// "insert...", "scroll_up"). Commands that do not exist yet are left out, and
// so is a group that has none. The menu remembers the last group chosen and,
// in each group, the last command chosen, and offers them first next time.
#pragma once

#include "display/prompt.h"

inline constexpr int MENU_GROUPS = 14; // the command groups; "COMMAND" is the 15th choice

// Asks "menu: " for a group and then "<group>: " for a command, whose every
// argument is then asked for on the prompt line (the command text is its name
// followed by " ?" for each argument); or, for "COMMAND", asks "command: " for
// a command text and runs it. Escape at any question shows "aborted".
void menu();

// The choices of group g (0 to MENU_GROUPS - 1): one per existing command,
// named by the rest of its name, with its argument count as its value.
// *count receives their number.
const prompt_option *menu_group_options(int g, int *count);
