// The character and string commands: moving the cursor by characters, and
// changing the current line one character, one tab or one string at a time.
//
// They work on the current line at the cursor's into value with the typing
// steps of commands/typing.h. Every command that changes the line, except
// the movements, raises "expected text, fold or virtual fold line" on an end
// line; the typing commands first turn an end line into a new empty text line
// instead. What is deleted goes onto the undelete stack (commands/undelete.h).
//
// A character is a byte, or in UTF-8 mode a whole UTF-8 character
// (display/utf8.h): the cursor steps over it, and deletes take it whole.
#pragma once

// character_left: one place left; from the start of a line to the end of the
// previous one, the cursor row one up. char_left moves so and says whether
// there was somewhere to move.
void cmd_c_left();
bool char_left();
// character_right: one place right; from the end of a line to the start of
// the next one, the cursor row one down. char_right moves so and says whether
// there was somewhere to move.
void cmd_c_right();
bool char_right();

// character_insert, character_overtype, character_type (character): one
// typing step; the character 0 does nothing.
void cmd_c_insert();
void cmd_c_overtype();
void cmd_c_type();

// character_delete_left: the character before the cursor, which moves onto its
// place; in a fold line's indentation or at the start of its name the fold
// line moves left by one column instead; at the start of a text line the
// line is joined to the end of the previous line's string.
void cmd_c_delete_left();
// character_delete_right: the character under the cursor; at the end of the
// string the next line is joined to it when it is a text line; in the
// indentation the fold line moves left by one column.
void cmd_c_delete_right();
// character_delete_eol: the string from the cursor on.
void cmd_c_delete_eol();

// character_tab: to the next tab stop of the buffer's tab size, as spaces,
// or one tab character when the tab size is 0.
void cmd_c_tab();

// string_insert, string_overtype, string_type (string): the typing step for
// each character in turn; a failure keeps the characters already placed.
void cmd_cs_insert();
void cmd_cs_overtype();
void cmd_cs_type();
