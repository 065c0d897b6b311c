#include "display/syntax_colour.h"

#include <string>
#include <vector>

#include "display/draw_text.h"
#include "display/rows.h"
#include "display/terminal.h"
#include "text/span_state.h"

// Colours that read on the text's black background, and on a light one too.
int syntax_col_tab[SYNTAX_CLASSES] = {
    colour_value(PC_WHITE, PC_BLACK),   // plain: the text colour
    colour_value(PC_CYAN, PC_BLACK),    // comment
    colour_value(PC_RED, PC_BLACK),     // string
    colour_value(PC_MAGENTA, PC_BLACK), // keyword
    colour_value(PC_GREEN, PC_BLACK),   // type
    colour_value(PC_RED, PC_BLACK),     // number
    colour_value(PC_MAGENTA, PC_BLACK), // preprocessor
};

int syntax_colour_on = 1;

namespace {

int class_at(const std::vector<int> &sources, const unsigned char *classes, size_t k) {
    return sources[k] < 0 ? int{SYN_PLAIN} : classes[sources[k]];
}

// A class's foreground on the text's background.
int colour_of(int cls) {
    int text = col_tab[CT_TEXT];
    return cls == SYN_PLAIN ? text : (text & ~7) | (syntax_col_tab[cls] & 7);
}

} // namespace

void syntax_rows(layout_row *rows, int n_rows, text_buffer *b) {
    if (!syntax_colour_on || !th_has_colour()) {
        span_pause();
        return;
    }
    span_settle();
    if (syntax_count(b->lang->syntax) == 0) return;
    const tree_line *last = nullptr;
    for (int i = FIRST_TEXT_ROW; i < n_rows; i++)
        if (rows[i].line) last = rows[i].line;
    if (!last) return;
    span_fill(b, b->fold, last);
    for (int i = FIRST_TEXT_ROW; i < n_rows; i++)
        if (rows[i].line && line_kind(rows[i].line) == LINE_TEXT && !rows[i].marked)
            rows[i].span = span_state(rows[i].line);
}

int syntax_draw(const layout_row &row, int width, int h) {
    static unsigned char classes[LINE_BUF_SIZE];
    static std::string image, piece;
    static std::vector<int> sources;
    const char *text = line_text(row.line);
    syntax_scan(cur_buffer->lang->syntax, text, row.span, classes);
    int cells = text_image(image, text, row.indent, width, h, 0, &sources);
    // Each run of bytes of one class in its colour.
    for (size_t from = 0, k = 0; from < image.size(); from = k) {
        int cls = class_at(sources, classes, from);
        for (k = from + 1; k < image.size(); k++)
            if (class_at(sources, classes, k) != cls) break;
        piece.assign(image, from, k - from);
        th_setcol(colour_of(cls));
        th_p_raw_str(piece.c_str());
    }
    th_setcol(col_tab[CT_TEXT]);
    return cells;
}
