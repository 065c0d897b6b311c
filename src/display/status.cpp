#include "display/status.h"

#include <cstdio>
#include <cstring>

#include "display/char_names.h"
#include "display/draw_text.h"
#include "display/into.h"
#include "display/rows.h"
#include "display/terminal.h"
#include "display/utf8.h"
#include "text/buffer.h"
#include "text/flags.h"

namespace {

struct name_field {
    char text[LINE_BUF_SIZE]; // as drawn, cut to the field's width
    int cells;                // cells it took
    bool stale;               // drawn in the other white-space mode, or never
};

name_field buffer_name, lang_name, fold_name;
int shown_line_no;
int shown_col;
unsigned shown_flags;
int shown_vis;

void draw_name(name_field &shown, const char *name, int col, int row, int width) {
    if (width <= 0) return;
    // At most width characters, never part of one.
    char cut[LINE_BUF_SIZE];
    size_t n = 0;
    for (int chars = 0; chars < width; chars++) {
        auto len = static_cast<size_t>(char_len(name + n));
        if (len == 0 || n + len > LINE_MAX_TEXT) break;
        n += len;
    }
    std::memcpy(cut, name, n);
    cut[n] = '\0';
    if (!shown.stale && std::strcmp(cut, shown.text) == 0) return;
    th_cxy(col, row);
    int cells = draw_text(cut, 0, width, 0);
    for (int pad = cells; pad < shown.cells; pad++) th_p_raw_chr(' ');
    std::memcpy(shown.text, cut, n + 1);
    shown.cells = cells;
    shown.stale = false;
}

void draw_position(int line_no, int col) {
    char number[16];
    int digits = std::snprintf(number, sizeof number, "%d", line_no + 1);
    th_cxy(x_size - 11, STATUS_ROW_BUFFER);
    th_p_raw_str("     ");
    th_cxy(x_size - 5 - digits, STATUS_ROW_BUFFER);
    th_p_raw_str(number);
    std::snprintf(number, sizeof number, "%d", col + 1);
    th_cxy(x_size - 4, STATUS_ROW_BUFFER);
    draw_text(number, 0, 4, 0);
    th_deleol();
    shown_line_no = line_no;
    shown_col = col;
    if (digits > 6) {
        // The number runs into the language's field: both are drawn again
        // every time, the language first, so the number stays whole.
        lang_name.stale = true;
        shown_line_no = -1;
    }
}

void draw_flags(unsigned flags) {
    th_cxy(x_size - 22, STATUS_ROW_FOLD);
    th_p_raw_str(flags & FLAG_AUTOINDENT ? "autoindent" : "          ");
    th_cxy(x_size - 11, STATUS_ROW_FOLD);
    th_p_raw_str(flags & FLAG_INSERT ? " insert " : "overtype");
    // Sizes above 99 take the column before the field rather than wrap.
    char tabs[8];
    unsigned size = flags & FLAG_TABS;
    if (size == 0)
        std::snprintf(tabs, sizeof tabs, " ^I");
    else if (size < 10)
        std::snprintf(tabs, sizeof tabs, " %u ", size);
    else if (size < 100)
        std::snprintf(tabs, sizeof tabs, " %u", size);
    else
        std::snprintf(tabs, sizeof tabs, "%u", size);
    th_cxy(x_size - 3, STATUS_ROW_FOLD);
    th_p_raw_str(tabs);
    shown_flags = flags;
}

} // namespace

void status_reset() {
    for (name_field *f : {&buffer_name, &lang_name, &fold_name}) {
        f->text[0] = '\0';
        f->cells = 0;
        f->stale = true;
    }
    shown_line_no = -1;
    shown_col = -1;
    shown_flags = 65535;
}

void status_draw() {
    const text_buffer *b = cur_buffer;
    if (white_space_vis() != shown_vis) {
        shown_vis = white_space_vis();
        for (name_field *f : {&buffer_name, &lang_name, &fold_name}) f->stale = true;
    }
    th_setcol(col_tab[CT_STATUS]);
    draw_name(buffer_name, b->fn, 0, STATUS_ROW_BUFFER, x_size - 22);
    draw_name(lang_name, b->lang->name, x_size - 21, STATUS_ROW_BUFFER, 10);
    int col = cur_csr_col();
    if (b->line_no != shown_line_no || col != shown_col) draw_position(b->line_no, col);
    draw_name(fold_name, b->fold->name, 0, STATUS_ROW_FOLD, x_size - 23);
    if (b->flags != shown_flags) draw_flags(b->flags);
}
