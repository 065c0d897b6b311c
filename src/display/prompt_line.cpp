#include "display/prompt_line.h"

#include <cstring>

#include "display/char_names.h"
#include "display/terminal.h"

int prompt_in_use;

const char *prompt_char_name(int byte, int col) {
    static const char blanks[] = "        ";
    if (byte == ' ' || byte == '\t') return blanks + 8 - len_char_name(byte, col);
    return char_name(byte, col);
}

int prompt_put(const char *text, int col, int max_cells) {
    char part[9];
    int cells = 0;
    for (; *text != '\0' && cells < max_cells; text++) {
        int byte = static_cast<unsigned char>(*text);
        int w = len_char_name(byte, col + cells);
        const char *name = prompt_char_name(byte, col + cells);
        if (w > max_cells - cells) {
            w = max_cells - cells;
            std::memcpy(part, name, static_cast<size_t>(w));
            part[w] = '\0';
            name = part;
        }
        th_p_raw_str(name);
        cells += w;
    }
    return cells;
}

int prompt_show(const char *text, int max_cells) {
    th_setcol(col_tab[CT_STATUS]);
    th_cy(PROMPT_ROW);
    int cells = prompt_put(text, 0, max_cells < 0 ? 0 : max_cells);
    th_deleol();
    prompt_in_use = 1;
    return cells;
}

void prompt_clear() {
    th_setcol(col_tab[CT_STATUS]);
    th_cy(PROMPT_ROW);
    th_deleol();
    prompt_in_use = 0;
}
