#include "commands/other_commands.h"

#include "commands/arguments.h"
#include "commands/editor_state.h"
#include "commands/errors.h"
#include "commands/offer_write.h"
#include "commands/write_back.h"
#include "display/prompt.h"
#include "display/screen.h"
#include "display/screen_restart.h"
#include "display/terminal.h"
#include "text/buffer.h"

void cmd_exit() {
    if (!arg_val[0].num) return;
    for (text_buffer *b : buffs)
        if (b) offer_write(b);
    prompt_blank();
    ret_code = 0;
    exit_flag = 1;
}

void cmd_abort() {
    if (!arg_val[0].num) return;
    ret_code = 1;
    exit_flag = 1;
}

void cmd_redraw() {
    refresh_all();
}

namespace {

constexpr int max_colour = 0x7ff; // the attribute's bits: colours and monochrome

// Whether text drawn in the colour value can be read on this terminal.
bool readable(int colour) {
    if (colour < 0 || colour > max_colour) return false;
    return !th_has_colour() || (colour & 7) != (colour >> 4 & 7);
}

// The sizes the editor starts on.
constexpr int min_width = 40, max_width = 200;
constexpr int min_height = 10, max_height = 150;

} // namespace

void cmd_colours() {
    bool kept = false;
    for (int i = 0; i < COLOUR_USES; i++) {
        if (readable(arg_val[i].num))
            col_tab[i] = arg_val[i].num;
        else
            kept = true;
    }
    refresh_all();
    if (kept) error_code(ERR_BAD_NUMBER);
}

void cmd_mode() {
    int width = arg_val[0].num ? arg_val[0].num : x_size;
    int height = arg_val[1].num ? arg_val[1].num : y_size;
    if (width == x_size && height == y_size) return;
    if (width < min_width || width > max_width || height < min_height || height > max_height)
        error_code(ERR_SET_MODE);
    screen_leave();
    if (!th_init(mode, width, height)) {
        screen_reinit(); // with the size asked for before
        error_code(ERR_SET_MODE);
    }
    desired_x_size = width;
    desired_y_size = height;
    scn_init();
    clamp_rows();
    refresh_all();
}

void cmd_backups() {
    backups = arg_val[0].num;
    prompt(backups ? "backups enabled" : "backups disabled");
}
