#include "display/draw_text.h"

#include "display/char_names.h"
#include "display/terminal.h"

int text_image(std::string &out, const char *text, int start, int width, int h, int plain) {
    out.clear();
    if (width <= 0 || static_cast<long long>(start) >= static_cast<long long>(h) + width) return 0;
    if (start > h) out.append(static_cast<size_t>(start - h), ' ');
    long long col = start;
    for (int i = 0; text[i] != '\0'; i++) {
        int byte = static_cast<unsigned char>(text[i]);
        int w = i < plain ? 1 : len_char_name(byte, static_cast<int>(col));
        const char *name = i < plain ? text + i : char_name(byte, static_cast<int>(col));
        long long skip = col < h ? h - col : 0;
        col += w;
        if (skip >= w) continue;
        name += skip;
        int room = width - static_cast<int>(out.size());
        int part = w - static_cast<int>(skip);
        if (part > room) {
            out.append(name, static_cast<size_t>(room));
            break;
        }
        out.append(name, static_cast<size_t>(part));
    }
    return static_cast<int>(out.size());
}

int draw_text(const char *text, int start, int width, int h) {
    static std::string image;
    int cells = text_image(image, text, start, width, h);
    if (cells > 0) th_p_raw_str(image.c_str());
    return cells;
}
