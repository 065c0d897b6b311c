#include "display/draw_text.h"

#include "display/char_names.h"
#include "display/terminal.h"

int text_image(std::string &out, const char *text, int start, int width, int h, int plain,
               std::vector<int> *sources) {
    out.clear();
    if (sources) sources->clear();
    if (width <= 0 || static_cast<long long>(start) >= static_cast<long long>(h) + width) return 0;
    int cells = 0;
    if (start > h) {
        cells = start - h;
        out.append(static_cast<size_t>(cells), ' ');
    }
    if (sources) sources->assign(out.size(), -1);
    long long col = start;
    int shown_at = -1; // where the last character shown starts
    for (int i = 0; text[i] != '\0';) {
        int at = i;
        auto shows_at = [&](int from) {
            if (sources) sources->resize(out.size(), from);
        };
        glyph g = i < plain ? glyph{1, 1, text + i, 1} : glyph_at(text + i, static_cast<int>(col));
        i += g.bytes;
        long long skip = col < h ? h - col : 0;
        col += g.width;
        if (g.width == 0) {
            // A combining mark goes with the character before it, when that
            // is in the row.
            if (skip == 0 && cells > 0) out.append(g.name, static_cast<size_t>(g.length));
            shows_at(shown_at);
            continue;
        }
        if (skip >= g.width) continue;
        int part = g.width - static_cast<int>(skip);
        int room = width - cells;
        int n = part < room ? part : room;
        if (g.bytes == 1) // a byte's name: one byte a cell, cut anywhere
            out.append(g.name + skip, static_cast<size_t>(n));
        else if (n == g.width) // a character shown whole
            out.append(g.name, static_cast<size_t>(g.length));
        else // a wide character cut at either edge: blanks for what shows of it
            out.append(static_cast<size_t>(n), ' ');
        cells += n;
        shows_at(shown_at = at);
        if (part > room) break;
    }
    return cells;
}

int draw_text(const char *text, int start, int width, int h) {
    static std::string image;
    int cells = text_image(image, text, start, width, h);
    if (cells > 0) th_p_raw_str(image.c_str());
    return cells;
}
