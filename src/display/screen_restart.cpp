#include "display/screen_restart.h"

#include <cstdio>

#include "display/prompt.h"
#include "display/rows.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "host/hangup.h"
#include "text/buffer.h"

void screen_leave() {
    scn_deinit();
    th_deinit();
}

void screen_reinit() {
    while (!th_init(mode, desired_x_size, desired_y_size)) {
        std::fputs("ox: cannot initialise screen, retry: ", stderr);
        std::fflush(stderr);
        char answer[101];
        if (!std::fgets(answer, sizeof answer, stdin) || answer[0] == 'n') hangup_exit(3);
    }
    scn_init();
    clamp_rows();
}

void clamp_rows() {
    for (text_buffer *b : buffs)
        if (b && b->fold->row > cursor_row_bottom()) b->fold->row = cursor_row_bottom();
}

void screen_resized() {
    clamp_rows();
    refresh_all();
    prompt_redraw();
}
