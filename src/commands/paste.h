// A bracketed paste (display/keyboard.h) typed into the text.
#pragma once

#include <string>

// Types the text at the cursor as it is, under a recovery point of its own as
// type_char does: printable bytes and characters are typed by the buffer's
// insert-mode flag, a tab and every other control byte as itself (a NUL,
// which a line cannot hold, is left out), and a line end (a carriage return,
// a newline, or the two together) splits the line as line_split does but
// without autoindent, so that pasted lines keep exactly their own indent.
// An error stops the paste where it happened ("line too long" after as much
// of the line as fits), keeping what went in before it. 1 when it all went
// in, 0 when an error stopped it (its message is on the prompt line).
int paste_text(const std::string &text);
