#include "display/prompt_line.h"

#include <string>

#include "display/prompt.h"
#include "display/terminal.h"
#include "display/text_cursor.h"

int prompt_in_use;

namespace {

// What the line shows, to show it again: the text and the cells it left free
// at the right margin.
std::string shown_text;
int shown_margin;
question_line *active_question;

} // namespace

glyph prompt_glyph(const char *s, int col) {
    static const char blanks[] = "        ";
    glyph g = glyph_at(s, col);
    if (*s == ' ' || *s == '\t') g.name = blanks + 8 - g.width;
    return g;
}

int prompt_put(const char *text, int col, int max_cells) {
    std::string part;
    int cells = 0;
    while (*text != '\0' && cells < max_cells) {
        glyph g = prompt_glyph(text, col + cells);
        text += g.bytes;
        int room = max_cells - cells;
        if (g.width <= room)
            part.append(g.name, static_cast<size_t>(g.length));
        else if (g.bytes == 1)
            part.append(g.name, static_cast<size_t>(room));
        else
            break;
        cells += g.width <= room ? g.width : room;
    }
    th_p_raw_str(part.c_str());
    return cells;
}

int prompt_show(const char *text, int max_cells) {
    if (max_cells < 0) max_cells = 0;
    if (text != shown_text.c_str()) shown_text = text;
    shown_margin = x_size - max_cells;
    th_setcol(col_tab[CT_STATUS]);
    th_cy(PROMPT_ROW);
    int cells = prompt_put(text, 0, max_cells);
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

asking::asking(question_line *q) : was_(active_question) {
    active_question = q;
}

asking::~asking() {
    active_question = was_;
}

void prompt_redraw() {
    if (active_question != nullptr) {
        active_question->redraw();
        return;
    }
    if (prompt_in_use) prompt_show(shown_text.c_str(), x_size - shown_margin);
    scn_restore_cursor();
}
