#include "display/screen.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "display/draw_text.h"
#include "display/layout.h"
#include "display/resize.h"
#include "display/rows.h"
#include "display/screen_restart.h"
#include "display/status.h"
#include "display/syntax_colour.h"
#include "display/terminal.h"
#include "display/text_cursor.h"
#include "text/buffer.h"
#include "text/flags.h"

long scn_rows_drawn;

namespace {

// Rows below the current one searched for a row that moved.
constexpr int MOVE_REACH = 3;
constexpr int H_STEP = 20;

// A shown row holding it is drawn again whatever is wanted there. Only its
// address is ever used: it is in no list, so it need not be a record of the
// text model's region.
tree_line invalid_row_line;

std::vector<layout_row> shown; // what the terminal holds
std::vector<layout_row> wanted;
int h_offset;
// The lowest and highest address of the lines on the rows after the last
// refresh: a freed line outside them is on no row. The notice comes for every
// line of a large delete.
uintptr_t shown_lowest = UINTPTR_MAX;
uintptr_t shown_highest = 0;
// The end line of the list last drawn: it changes from "^" to "}}}" and back
// as the user enters and leaves folds.
const tree_line *drawn_list_end;

void invalidate(int row) {
    shown[row] = {&invalid_row_line, 0, 0, 0, 0};
}

void invalidate_all() {
    for (int i = FIRST_TEXT_ROW; i < static_cast<int>(shown.size()); i++) invalidate(i);
}

void fit_tables() {
    if (static_cast<int>(shown.size()) == y_size) return;
    shown.assign(y_size > 0 ? y_size : 0, layout_row{});
    wanted.assign(shown.size(), layout_row{});
    invalidate_all();
}

void invalidate_line(const tree_line *l) {
    if (l == nullptr) return;
    for (int i = FIRST_TEXT_ROW; i < static_cast<int>(shown.size()); i++)
        if (shown[i].line == l) invalidate(i);
}

void paint_top_rows() {
    th_setcol(col_tab[CT_STATUS]);
    for (int row = 0; row < FIRST_TEXT_ROW; row++) {
        th_cy(row);
        th_deleol();
    }
}

bool same_row(const layout_row &a, const layout_row &b) {
    return a.line == b.line && a.indent == b.indent && a.marked == b.marked &&
           a.tagged == b.tagged && a.span == b.span;
}

void draw_row(int row) {
    static std::string image;
    const layout_row &w = wanted[row];
    shown[row] = w;
    scn_rows_drawn++;
    th_cy(row);
    if (w.line == nullptr) {
        th_setcol(col_tab[CT_TEXT]);
        if (h_offset == 0) th_p_raw_str("~");
        th_deleol();
        return;
    }
    char text[8 + LINE_BUF_SIZE];
    int prefix = 4; // "{{{ " and the like
    int colour = col_tab[w.marked ? CT_MARKED_FOLD : CT_FOLD];
    switch (line_kind(w.line)) {
    case LINE_TEXT:
        colour = col_tab[w.marked ? CT_MARKED_TEXT : CT_TEXT];
        prefix = 0;
        std::snprintf(text, sizeof text, "%s", line_text(w.line));
        break;
    case LINE_FOLD: {
        const tree_fold *f = line_fold(w.line);
        std::snprintf(text, sizeof text, "%s%s", f->open ? "{{{ " : "... ", f->name);
        break;
    }
    case LINE_VIRT: {
        const virtual_fold *v = line_virt(w.line);
        std::snprintf(text, sizeof text, "%s%s", v->open ? ">>> " : "::: ", v->name);
        break;
    }
    default: std::snprintf(text, sizeof text, "%s", w.line == cur_buffer->fold->end ? "^" : "}}}");
    }
    th_setcol(colour);
    int width = w.tagged ? x_size - 3 : x_size;
    int cells = 0;
    if (w.span != 0) {
        cells = syntax_draw(w, width, h_offset);
    } else {
        cells = text_image(image, text, w.indent, width, h_offset, prefix);
        if (cells > 0) th_p_raw_str(image.c_str());
    }
    if (cells < x_size) th_deleol();
    if (w.tagged) {
        th_cxy(x_size - 3, row);
        th_setcol(col_tab[CT_FOLD]);
        th_p_raw_str(" T");
    }
    line_clear_changed(w.line);
}

// Rows i to i + k - 1 are new: the rows from i move down by k.
int insert_rows(int i, int k) {
    for (int j = y_size - 1; j >= i + k; j--) shown[j] = shown[j - k];
    for (int n = 0; n < k; n++, i++) {
        th_cy(i);
        th_setcol(col_tab[CT_TEXT]);
        th_inslin();
        draw_row(i);
    }
    return i;
}

// The d rows from i are gone: the rows below move up by d.
void delete_rows(int i, int d) {
    for (int j = i; j < y_size - d; j++) shown[j] = shown[j + d];
    for (int j = y_size - d; j < y_size; j++) invalidate(j);
    th_cy(i);
    th_setcol(col_tab[CT_TEXT]);
    for (int n = 0; n < d; n++) th_dellin();
}

void update_rows() {
    for (int i = FIRST_TEXT_ROW; i < y_size;) {
        const layout_row &s = shown[i];
        const layout_row &w = wanted[i];
        if (s.line == w.line) {
            if ((w.line != nullptr && line_is_changed(w.line)) || !same_row(s, w)) draw_row(i);
            i++;
            continue;
        }
        int k = 0; // the shown line is wanted k rows lower
        int d = 0; // the wanted line is shown d rows lower
        for (int j = 1; j <= MOVE_REACH && i + j < y_size; j++)
            if (same_row(wanted[i + j], s)) {
                k = j;
                break;
            }
        for (int j = 1; j <= MOVE_REACH && i + j < y_size; j++)
            if (shown[i + j].line == w.line) {
                d = j;
                break;
            }
        if (k == 0 && d == 0) {
            draw_row(i++);
        } else if (d != 0 && (k == 0 || k >= d)) {
            delete_rows(i, d);
        } else {
            i = insert_rows(i, k);
        }
    }
}

void note_shown_addresses() {
    shown_lowest = UINTPTR_MAX;
    shown_highest = 0;
    for (int i = FIRST_TEXT_ROW; i < y_size; i++) {
        auto at = reinterpret_cast<uintptr_t>(shown[i].line);
        if (shown[i].line == nullptr || shown[i].line == &invalid_row_line) continue;
        if (at < shown_lowest) shown_lowest = at;
        if (at > shown_highest) shown_highest = at;
    }
}

// The smallest multiple of H_STEP that leaves the column left of x_size - 2.
int offset_for(int col) {
    if (col < x_size - 2) return 0;
    return ((col - (x_size - 2)) / H_STEP + 1) * H_STEP;
}

} // namespace

void refresh() {
    text_buffer *b = cur_buffer;
    if (b == nullptr || y_size <= FIRST_TEXT_ROW) return;
    fit_tables();
    tree_fold *f = b->fold;
    int visible = (b->flags & FLAG_VISIBLE) != 0;
    if (visible != white_space_vis()) {
        set_white_space_vis(visible);
        invalidate_all();
    }
    int col = cur_csr_col();
    int h = offset_for(col);
    if (h != h_offset) {
        h_offset = h;
        invalidate_all();
    }
    if (f->end != drawn_list_end) {
        invalidate_line(drawn_list_end);
        invalidate_line(f->end);
        drawn_list_end = f->end;
    }
    th_setcsr(CSR_HIDDEN);
    // A cursor row off the text rows (the screen shrank) is drawn on the nearest.
    int row = f->row < FIRST_TEXT_ROW ? FIRST_TEXT_ROW : f->row > last_row() ? last_row() : f->row;
    layout_rows(wanted.data(), y_size, f, row);
    syntax_rows(wanted.data(), y_size, b);
    update_rows();
    note_shown_addresses();
    status_draw();
    int x = col - h_offset < 0 ? 0 : col - h_offset;
    int csr_mode = b->flags & FLAG_INSERT ? CSR_INSERT : CSR_OVERTYPE;
    th_cxy(x, row);
    th_setcsr(csr_mode);
    scn_remember_cursor(x, row, csr_mode);
    th_sync_screen();
}

void scn_forget_rows() {
    invalidate_all();
}

void refresh_all() {
    fit_tables();
    invalidate_all();
    status_reset();
    th_repaint_all();
    th_cls();
    paint_top_rows();
    refresh();
}

void scn_init() {
    line_set_delete_notice(scn_delete_notify);
    th_set_resize_notice(screen_resized);
    fit_tables();
    invalidate_all();
    status_reset();
    th_cls();
    paint_top_rows();
    th_sync_screen();
}

void scn_deinit() {}

int locate_line(const tree_line *l) {
    if (l == nullptr) return -1;
    for (int i = FIRST_TEXT_ROW; i < static_cast<int>(shown.size()); i++)
        if (shown[i].line == l) return i;
    return -1;
}

void scn_delete_notify(tree_line *l) {
    auto at = reinterpret_cast<uintptr_t>(l);
    if (at >= shown_lowest && at <= shown_highest) invalidate_line(l);
}
