#include "display/prompt.h"

#include <cstring>

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
    char message[2 * LINE_BUF_SIZE];
    size_t n = strnlen(text, LINE_MAX_TEXT);
    std::memcpy(message, text, n);
    // The name's bytes, as many as fit before the right margin.
    int col = 0;
    for (size_t i = 0; i < n; i++) col += len_char_name(static_cast<unsigned char>(text[i]), col);
    for (; *file_name != '\0' && n < LINE_MAX_TEXT * 2; file_name++) {
        col += len_char_name(static_cast<unsigned char>(*file_name), col);
        if (col > x_size - 1) break;
        message[n++] = *file_name;
    }
    message[n] = '\0';
    prompt(message);
}

int prompt_char(const char *question, unsigned char *byte) {
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
