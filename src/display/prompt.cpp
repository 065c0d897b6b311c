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

prompt_option yes_no_opts[2] = {{"yes", 1, 0, 0}, {"no", 0, 0, 0}};

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

namespace {

// Appends the characters of s that end by the column limit to message, whose
// characters end at col; the column they then end at.
int append_fitting(std::string &message, const char *s, int col, int limit) {
    while (*s != '\0' && message.size() < LINE_MAX_TEXT * 2) {
        int bytes;
        int end = col + glyph_width(s, col, &bytes);
        if (end > limit) break;
        message.append(s, static_cast<size_t>(bytes));
        col = end;
        s += bytes;
    }
    return col;
}

} // namespace

void file_prompt(const char *text, const char *file_name, const char *tail) {
    std::string message, ignored;
    int col = append_fitting(message, text, 0, LINE_MAX_TEXT * 2);
    // The tail is kept whole; the name takes what room is left before it.
    int tail_cols = append_fitting(ignored, tail, col, LINE_MAX_TEXT * 2) - col;
    append_fitting(message, file_name, col, x_size - 1 - tail_cols);
    message += tail;
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
    prompt_option *chosen;
    if (!prompt_opt(question, &chosen, yes_no_opts, 2, 0)) return 0;
    *flag = chosen->value;
    return 1;
}
