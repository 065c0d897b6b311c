#include "display/prompt.h"

#include <cstring>
#include <string>

#include "display/char_names.h"
#include "display/keyboard.h"
#include "display/keys.h"
#include "display/prompt_line.h"
#include "display/terminal.h"
#include "display/text_cursor.h"
#include "text/scan.h"

OPTION yes_no_opts[2] = {{"yes", 1, 0, 0}, {"no", 0, 0, 0}};

void prompt(const char *text) {
    if (*text != '\0')
        prompt_show(text, x_size - 1);
    else if (prompt_in_use)
        prompt_clear();
    scn_restore_cursor();
    th_sync_screen();
}

void prompt_blank() {
    prompt("");
}

void file_prompt(const char *text, const char *file_name) {
    std::string message(text, strnlen(text, LINE_MAX_TEXT));
    // The name's characters, as many as fit before the right margin.
    int col = 0;
    for (const char *s = message.c_str(); *s != '\0';) {
        int bytes;
        col += glyph_width(s, col, &bytes);
        s += bytes;
    }
    for (const char *s = file_name; *s != '\0' && message.size() < LINE_MAX_TEXT * 2;) {
        int bytes;
        col += glyph_width(s, col, &bytes);
        if (col > x_size - 1) break;
        message.append(s, static_cast<size_t>(bytes));
        s += bytes;
    }
    prompt(message.c_str());
}

namespace {

// A question of one key: drawn again as it was.
struct one_key_question final : question_line {
    const char *text;
    explicit one_key_question(const char *question) : text(question) {}
    void redraw() override { prompt_show(text, x_size - 1); }
};

} // namespace

int prompt_char(const char *question, unsigned char *byte) {
    one_key_question q(question);
    asking on_line(&q);
    prompt_show(question, x_size - 1);
    int key;
    while ((key = th_key_read()) >= 256) {
    }
    prompt_blank();
    if (key == K_ESCAPE) return 0;
    *byte = static_cast<unsigned char>(key);
    return 1;
}

int prompt_key(const char *question, int *key) {
    one_key_question q(question);
    asking on_line(&q);
    prompt_show(question, x_size - 1);
    *key = th_key_read();
    prompt_blank();
    return *key != K_ESCAPE;
}

int prompt_num(const char *question, int *number) {
    char text[LINE_BUF_SIZE];
    if (!prompt_str(question, text)) return 0;
    scan_num_hex(text, number);
    return 1;
}

int prompt_yn(const char *question, int *flag) {
    OPTION *chosen;
    if (!prompt_opt(question, &chosen, yes_no_opts, 2, 0)) return 0;
    *flag = chosen->value;
    return 1;
}
