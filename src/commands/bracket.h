// Bracket matching: from a bracket to its partner.
#pragma once

// search_bracket: from the opening bracket under the cursor ("(", "[", "{",
// "<" or "`") forwards to the closing one that matches it (")", "]", "}", ">"
// or "'", in that order, so a backquote is closed by a quote), or from a
// closing one backwards to its opening one, counting the nesting of that pair
// only. It moves as character_right and character_left do, through the lines
// of the current list, reading fold lines' names as text, and stops on the
// partner. Raises "not on a bracket" when the cursor is on no bracket (or at
// the end of its line), "not found" at the end of the list with the cursor
// there, and "aborted" when Escape is typed.
void cmd_s_bracket();
