#include "commands/bracket.h"

#include <cstring>

#include "commands/char_commands.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/search_poll.h"

namespace {

// The n-th byte of one pairs with the n-th of the other.
const char opening[] = "([{<`";
const char closing[] = ")]}>'";

// The byte under the cursor: a blank in a fold line's indentation, 0 at the
// end of the line.
unsigned char byte_under_cursor() {
    const tree_fold *f = cur_fold();
    int base = indent_of(f->cur);
    if (f->into < base) return ' ';
    const char *s = string_of(f->cur);
    size_t p = static_cast<size_t>(f->into - base);
    return p < std::strlen(s) ? static_cast<unsigned char>(s[p]) : 0;
}

} // namespace

void cmd_s_bracket() {
    unsigned char bracket = byte_under_cursor();
    if (bracket == 0) error_code(ERR_NOT_ON_BRACKET);
    const char *open = std::strchr(opening, bracket);
    const char *close = std::strchr(closing, bracket);
    if (!open && !close) error_code(ERR_NOT_ON_BRACKET);
    bool forwards = open != nullptr;
    unsigned char partner = forwards ? closing[open - opening] : opening[close - closing];

    escape_watch_start();
    for (int depth = 1; depth > 0;) {
        if (!(forwards ? char_right() : char_left())) error_code(ERR_NOT_FOUND);
        unsigned char c = byte_under_cursor();
        if (c == bracket)
            depth++;
        else if (c == partner)
            depth--;
        if (escape_watch_check()) error_code(ERR_ABORTED);
    }
}
