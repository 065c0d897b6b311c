// prompt_opt: choosing among named options shown side by side after the
// question. The area of options runs from the column after the question to
// the right margin, width W; it shows the row of options from offset S on.
// Offsets and lengths are in cells: a name's characters are printable ASCII,
// in UTF-8 mode printable characters, and "?" for every other byte.
#include "display/prompt.h"

#include <string>

#include "display/keyboard.h"
#include "display/keys.h"
#include "display/prompt_line.h"
#include "display/terminal.h"
#include "display/text_cursor.h"
#include "display/utf8.h"

namespace {

glyph option_glyph(const char *s) {
    static const char unknown[] = "?";
    if (utf8_text() && static_cast<unsigned char>(*s) >= 0x80) {
        glyph g = glyph_at(s, 0);
        if (g.bytes > 1) return g;
    }
    return {1, 1, th_isprint(static_cast<unsigned char>(*s)) ? s : unknown, 1};
}

int name_cells(const char *name) {
    int cells = 0;
    for (; *name != '\0';) {
        glyph g = option_glyph(name);
        cells += g.width;
        name += g.bytes;
    }
    return cells;
}

struct option_row final : question_line {
    const char *question;
    prompt_option *opts;
    int count;
    int cur;
    int area; // screen column of the area
    int width;
    int scroll;

    static int end(const prompt_option &o) { return o.start + o.length; }

    void draw(int i, bool highlighted) const {
        const prompt_option &o = opts[i];
        int from = o.start > scroll ? o.start : scroll;
        int to = end(o) < scroll + width ? end(o) : scroll + width;
        if (from >= to) return;
        // The cells of the name from `from` to `to`; blanks for what shows of
        // a wide character cut at either end.
        std::string shown;
        int at = o.start;
        for (const char *s = o.name; *s != '\0' && at < to;) {
            glyph g = option_glyph(s);
            s += g.bytes;
            int lo = at > from ? at : from, hi = at + g.width < to ? at + g.width : to;
            if (lo == at && hi == at + g.width && (g.width > 0 || at > from))
                shown.append(g.name, static_cast<size_t>(g.length));
            else if (hi > lo)
                shown.append(static_cast<size_t>(hi - lo), ' ');
            at += g.width;
        }
        th_cxy(area + from - scroll, PROMPT_ROW);
        th_setcol(col_tab[highlighted ? CT_MARKED_STATUS : CT_STATUS]);
        th_p_raw_str(shown.c_str());
    }

    void draw_all(int highlighted) const {
        th_cxy(area, PROMPT_ROW);
        th_setcol(col_tab[CT_STATUS]);
        th_deleol();
        for (int i = 0; i < count; i++) draw(i, i == highlighted);
    }

    // Scrolls so that option i is in view; true when the offset changed.
    bool show(int i) {
        int was = scroll;
        if (end(opts[i]) > scroll + width) scroll = end(opts[i]) - width;
        if (opts[i].start < scroll) scroll = opts[i].start;
        return scroll != was;
    }

    // Shows the question and lays the area out after it; the highlighted
    // option is in view. The question leaves ANSWER_ROOM cells for the
    // options, or only what they take when that is less ("yes no").
    void lay_out() {
        int row = end(opts[count - 1]);
        area = prompt_show(question, x_size - (row < ANSWER_ROOM ? row : ANSWER_ROOM));
        width = x_size - area;
        scroll = 0;
        if (end(opts[cur]) > width) scroll = end(opts[cur]) - width;
    }

    void redraw() override {
        lay_out();
        draw_all(cur);
        scn_restore_cursor();
    }
};

// The option after cur, cycling round and ending with cur itself, whose name
// begins with c; cur when there is none.
int next_starting_with(const prompt_option *opts, int count, int cur, int c) {
    for (int step = 1; step <= count; step++) {
        int i = (cur + step) % count;
        if (static_cast<unsigned char>(opts[i].name[0]) == c) return i;
    }
    return cur;
}

} // namespace

int prompt_opt(const char *question, prompt_option **chosen, prompt_option *options, int count,
               int first) {
    if (count <= 0) return 0;
    int at = 0;
    for (int i = 0; i < count; i++) {
        if (options[i].name == nullptr || options[i].name[0] == '\0') options[i].name = " ";
        options[i].start = at;
        options[i].length = name_cells(options[i].name);
        at += options[i].length + 1;
    }
    option_row row;
    row.question = question;
    row.opts = options;
    row.count = count;
    row.cur = first < 0 ? 0 : first >= count ? count - 1 : first;
    int &cur = row.cur;
    asking on_line(&row);
    row.lay_out();
    row.draw_all(cur);
    scn_restore_cursor();
    int key;
    while ((key = th_key_read()) != K_RETURN && key != K_ESCAPE) {
        row.draw(cur, false);
        if (key == K_RIGHT || key == K_TAB) {
            if (cur < count - 1) cur++;
        } else if (key == K_LEFT) {
            if (cur > 0) cur--;
        } else if (key == K_UP) {
            cur = 0;
        } else if (key == K_DOWN) {
            cur = count - 1;
        } else if (key >= ' ' && key <= '~') {
            cur = next_starting_with(options, count, cur, key);
        } else {
            scn_restore_cursor();
            th_beep();
        }
        if (row.show(cur))
            row.draw_all(cur);
        else
            row.draw(cur, true);
        scn_restore_cursor();
    }
    prompt_blank();
    if (key != K_RETURN) return 0;
    *chosen = &options[cur];
    return 1;
}
