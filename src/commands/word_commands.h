// The word commands: moving the cursor by words, across line ends.
//
// A word character is a character that is neither white space nor one of the
// language's word separators: a byte, or in UTF-8 mode a whole UTF-8
// character, which is a separator when the separators hold it. The character
// under the cursor is a space in a fold line's indentation, the character of
// the string at the cursor, or none at the end of the string, where a line
// ends; none is never a word character.
// Both commands move with character_left and character_right and stop where
// those cannot move further: at the start of the list or on its end line.
#pragma once

// word_left: to the first character of the word before the cursor.
void cmd_w_left();
// word_right: just past the end of the word under the cursor or the next one.
void cmd_w_right();
