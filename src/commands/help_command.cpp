#include "commands/help_command.h"

#include "commands/buffer_file.h"
#include "commands/errors.h"
#include "commands/ini_file.h"
#include "display/prompt.h"
#include "text/buffer.h"
#include "text/scan.h"

#include <cstdio>

namespace {

char guide[LINE_BUF_SIZE];

// A new buffer, deleted again unless kept: a key map that cannot be read
// leaves nothing behind.
struct new_buffer {
    text_buffer *b;
    ~new_buffer() {
        if (b != nullptr) buff_delete(b);
    }
    text_buffer *keep() {
        text_buffer *kept = b;
        b = nullptr;
        return kept;
    }
};

// The buffer holding the key map, read into a new one if none does.
text_buffer *key_map_buffer(const char *key_map) {
    if (text_buffer *b = lookup_buff_text(key_map)) return b;
    new_buffer made{buffer_for_file(key_map, -1)};
    read_buffer_file(made.b);
    return made.keep();
}

} // namespace

void help_set_guide(const char *file_name) {
    std::snprintf(guide, sizeof guide, "%s", file_name);
}

void cmd_help() {
    const char *key_map = ini_file_name();
    if (*key_map != '\0') cur_buffer = key_map_buffer(key_map);
    const char *about_keys = *key_map != '\0' ? "" : "no key map, the default keys; ";
    char message[LINE_BUF_SIZE];
    if (guide[0] == '\0') {
        std::snprintf(message, sizeof message, "%sno user guide found", about_keys);
        prompt(message);
    } else {
        std::snprintf(message, sizeof message, "%suser guide: ", about_keys);
        file_prompt(message, guide);
    }
}
