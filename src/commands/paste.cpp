#include "commands/paste.h"

#include <cstring>

#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/line_commands.h"
#include "commands/typing.h"
#include "display/utf8.h"
#include "text/flags.h"

namespace {

// The buffer's autoindent is off while it lives.
struct autoindent_off {
    text_buffer *b = cur_buffer;
    unsigned was = b->flags & FLAG_AUTOINDENT;
    autoindent_off() { b->flags &= ~FLAG_AUTOINDENT; }
    ~autoindent_off() { b->flags |= was; }
    autoindent_off(const autoindent_off &) = delete;
    autoindent_off &operator=(const autoindent_off &) = delete;
};

// Types one line's worth of the paste. In insert mode in a string the bytes go
// in at once, which is what typing them one by one would do, only faster.
void type_run(const char *bytes, size_t n) {
    std::string run;
    run.reserve(n);
    for (size_t i = 0; i < n; i++)
        if (bytes[i] != '\0') run += bytes[i];
    if (run.empty()) return;
    tree_line *l = line_for_typing();
    int p = string_pos(l);
    if (!(cur_buffer->flags & FLAG_INSERT) || p < 0) {
        type_string(run.c_str(), -1);
        return;
    }
    int room = LINE_MAX_TEXT - static_cast<int>(std::strlen(string_of(l)));
    int fit = 0;
    for (int c;
         fit < static_cast<int>(run.size()) && fit + (c = char_len(run.c_str() + fit)) <= room;)
        fit += c;
    if (fit > 0) {
        splice_string(l, p, 0, run.data(), fit);
        set_into(indent_of(l) + p + fit);
    }
    if (fit < static_cast<int>(run.size())) error_code(ERR_LINE_TOO_LONG);
}

} // namespace

int paste_text(const std::string &text) {
    return run_with_recovery([&text] {
        autoindent_off plain_splits;
        const char *s = text.data();
        size_t n = text.size();
        for (size_t i = 0;;) {
            size_t end = i;
            while (end < n && s[end] != '\r' && s[end] != '\n') end++;
            type_run(s + i, end - i);
            if (end == n) break;
            cmd_l_split();
            i = end + (s[end] == '\r' && end + 1 < n && s[end + 1] == '\n' ? 2 : 1);
        }
    });
}
