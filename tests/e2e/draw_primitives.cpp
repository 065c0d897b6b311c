// draw_primitives: draws a fixed picture with every output primitive of the
// terminal layer, waits for a key and ends. Test scaffolding, never installed.
//
//     draw_primitives [-c colour-mode]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/keyboard.h"
#include "display/terminal.h"

int main(int argc, char **argv) {
    int colour_mode = 0;
    for (int opt; (opt = getopt(argc, argv, "c:")) != -1;) {
        if (opt != 'c') return 2;
        colour_mode = std::atoi(optarg);
    }
    if (!th_init(colour_mode, 0, 0)) {
        std::fprintf(stderr, "draw_primitives: unable to initialise screen\n");
        return 2;
    }
    th_setcol(col_tab[CT_TEXT]);
    th_cy(0);
    th_p_str("a\tb\tc");
    th_cy(1);
    th_p_str("abc\b\bX");
    th_cxy(5, 2);
    th_p_str("1\n2");
    for (int row = 5; row < 10; row++) {
        th_cy(row);
        th_p_str(("row " + std::to_string(row)).c_str());
    }
    th_cy(6);
    th_dellin();
    th_cy(7);
    th_inslin();
    th_p_str("inserted");
    th_cy(11);
    th_setcol(col_tab[CT_MARKED_TEXT]);
    th_p_str("marked");
    th_deleol();
    th_setcol(col_tab[CT_TEXT]);
    th_cy(12);
    th_p_raw_str("xxxxxxxxxx");
    th_cxy(4, 12);
    th_deleol();
    th_p_chr('|');
    th_cxy(x_size - 3, 13);
    th_p_raw_str("abcdef");
    th_p_str("!");
    th_sync_screen();
    th_key_read();
    th_deinit();
    return 0;
}
