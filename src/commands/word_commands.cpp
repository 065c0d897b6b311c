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
    const tree_line *l = cur_line();
    int p = cur_fold()->into - indent_of(l);
    if (p < 0) return false;
    const char *s = string_of(l);
    if (p >= static_cast<int>(std::strlen(s))) return false;
    int n = char_len(s + p);
    auto c = static_cast<unsigned char>(s[p]);
    if (n == 1) return !is_space_byte(c) && !std::strchr(cur_buffer->lang->separators, c);
    return std::strstr(cur_buffer->lang->separators, std::string(s + p, n).c_str()) == nullptr;
}

void cmd_w_left() {
    if (!char_left()) return;
    while (!on_word_char())
        if (!char_left()) return;
    while (on_word_char())
        if (!char_left()) return;
    char_right();
}

void cmd_w_right() {
    while (!on_word_char())
        if (!char_right()) return;
    while (on_word_char())
        if (!char_right()) return;
}
