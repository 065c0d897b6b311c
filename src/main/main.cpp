// ox: a folding text editor for character terminals.
#include "commands/editor_state.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "host/mdep.h"
#include "main/edit.h"
#include "main/emergency.h"
#include "main/options.h"
#include "main/shutdown.h"
#include "text/buffer.h"

#if defined(__SANITIZE_ADDRESS__)
// When curses cannot set up a terminal (an unknown TERM) it keeps what it had
// allocated for it; the program then stops at once with "unable to initialise
// screen", and the leak is curses' own.
extern "C" const char *__lsan_default_suppressions() {
    return "leak:new_prescr\n";
}
// The message stays the last thing written.
extern "C" const char *__lsan_default_options() {
    return "print_suppressions=0";
}
#endif

// What -w and -h may ask for; the screen itself may be larger (th_size_fits).
static const int min_width = 40, max_width = 200;
static const int min_height = 10, max_height = 150;

static bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

int main(int argc, char **argv) {
    command_line cl;
    parse_options(argc, argv, &cl);
    if (cl.width != nullptr) {
        desired_x_size = numeric_option(cl.width, "width");
        if (!within(desired_x_size, min_width, max_width)) fatal_exit("bad screen width");
    }
    if (cl.height != nullptr) {
        desired_y_size = numeric_option(cl.height, "height");
        if (!within(desired_y_size, min_height, max_height)) fatal_exit("bad screen height");
    }
    mdep_init();
    mode = 0;
    if (!th_init(mode, desired_x_size, desired_y_size)) fatal_exit("unable to initialise screen");
    if (!th_size_fits(x_size, y_size)) fatal_exit("bad screen size");
    scn_init();
    data_init();
    emergency_init();
    int n_files = argc - cl.first_file;
    int auto_load = n_files == 1 || cl.auto_load;
    const char *program_path = argc > 0 ? argv[0] : "ox";
    if (!edit(program_path, n_files, argv + cl.first_file, auto_load, cl.ini))
        fatal_exit("initialisation error");
    shutdown_all();
    return ret_code;
}
