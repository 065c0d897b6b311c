// prompt_opt: choosing among named options shown side by side after the
// question. The area of options runs from the column after the question to
// the right margin, width W; it shows the row of options from offset S on.
#include "display/prompt.h"

#include <cstring>

#include "display/keyboard.h"
#include "display/keys.h"
#include "display/prompt_line.h"
#include "display/terminal.h"
#include "display/text_cursor.h"

namespace {

struct option_row {
    OPTION *opts;
    int count;
    int area; // screen column of the area
    int width;
    int scroll;

    static int end(const OPTION &o) { return o.start + o.length; }

    void draw(int i, bool highlighted) const {
        const OPTION &o = opts[i];
        int from = o.start > scroll ? o.start : scroll;
        int to = end(o) < scroll + width ? end(o) : scroll + width;
        if (from >= to) return;
        th_cxy(area + from - scroll, PROMPT_ROW);
        th_setcol(col_tab[highlighted ? CT_MARKED_STATUS : CT_STATUS]);
        for (int at = from; at < to; at++) {
            unsigned char c = static_cast<unsigned char>(o.name[at - o.start]);
            th_p_raw_chr(th_isprint(c) ? c : '?');
        }
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
};

// The option after cur, cycling round and ending with cur itself, whose name
// begins with c; cur when there is none.
int next_starting_with(const OPTION *opts, int count, int cur, int c) {
    for (int step = 1; step <= count; step++) {
        int i = (cur + step) % count;
        if (static_cast<unsigned char>(opts[i].name[0]) == c) return i;
    }
    return cur;
}

} // namespace

int prompt_opt(const char *question, OPTION **chosen, OPTION *options, int count, int first) {
    if (count <= 0) return 0;
    int at = 0;
    for (int i = 0; i < count; i++) {
        if (options[i].name == nullptr || options[i].name[0] == '\0') options[i].name = " ";
        options[i].start = at;
        options[i].length = static_cast<int>(std::strlen(options[i].name));
        at += options[i].length + 1;
    }
    int cur = first < 0 ? 0 : first >= count ? count - 1 : first;
    option_row row{options, count, 0, 0, 0};
    row.area = prompt_show(question, x_size - ANSWER_ROOM);
    row.width = x_size - row.area;
    if (option_row::end(options[cur]) > row.width)
        row.scroll = option_row::end(options[cur]) - row.width;
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
