#include "commands/word_commands.h"

#include "commands/char_commands.h"
#include "commands/cursor.h"
#include "display/into.h"
#include "text/scan.h"

#include <cstring>

// The byte under the cursor, 0 at the end of the string.
static unsigned char char_under() {
    const LINE *l = cur_line();
    int p = cur_fold()->into - indent_of(l);
    if (p < 0) return ' ';
    const char *s = string_of(l);
    return p < static_cast<int>(std::strlen(s)) ? static_cast<unsigned char>(s[p]) : 0;
}

static bool is_word_char(unsigned char c) {
    return c != 0 && !is_space_byte(c) && !std::strchr(cur_buffer->lang->separators, c);
}

// One step of the move; false when it could not move.
static bool step(void (*move)()) {
    move();
    return cursor_moved;
}

void cmd_w_left() {
    cursor_moved = 1;
    if (!step(cmd_c_left)) return;
    while (!is_word_char(char_under()))
        if (!step(cmd_c_left)) return;
    while (is_word_char(char_under()))
        if (!step(cmd_c_left)) return;
    cmd_c_right();
}

void cmd_w_right() {
    cursor_moved = 1;
    while (!is_word_char(char_under()))
        if (!step(cmd_c_right)) return;
    while (is_word_char(char_under()))
        if (!step(cmd_c_right)) return;
}
