#include "commands/word_commands.h"

#include "commands/char_commands.h"
#include "commands/cursor.h"
#include "display/into.h"
#include "display/utf8.h"
#include "text/scan.h"

#include <cstring>
#include <string>

// Whether the character under the cursor is a word character: one that is
// not white space and does not occur in the language's word separators. A
// space in the indentation; none at the end of the string.
static bool on_word_char() {
    const LINE *l = cur_line();
    int p = cur_fold()->into - indent_of(l);
    if (p < 0) return false;
    const char *s = string_of(l);
    if (p >= static_cast<int>(std::strlen(s))) return false;
    int n = char_len(s + p);
    auto c = static_cast<unsigned char>(s[p]);
    if (n == 1) return !is_space_byte(c) && !std::strchr(cur_buffer->lang->separators, c);
    return std::strstr(cur_buffer->lang->separators, std::string(s + p, n).c_str()) == nullptr;
}

// One step of the move; false when it could not move.
static bool step(void (*move)()) {
    move();
    return cursor_moved;
}

void cmd_w_left() {
    cursor_moved = 1;
    if (!step(cmd_c_left)) return;
    while (!on_word_char())
        if (!step(cmd_c_left)) return;
    while (on_word_char())
        if (!step(cmd_c_left)) return;
    cmd_c_right();
}

void cmd_w_right() {
    cursor_moved = 1;
    while (!on_word_char())
        if (!step(cmd_c_right)) return;
    while (on_word_char())
        if (!step(cmd_c_right)) return;
}
