// load_driver: loads files as start-up does, in an editor whose only language
// is "c" (matching names ending in ".c"): there is no "top" to fall back on.
// Test scaffolding, never installed.
//
//     load_driver file...
//
// Shows "<file>: <load_file result>, <buffers> buffers" for each file from row
// 4 down, then "done", and ends at the next key.
#include <string>

#include "commands/bindings.h"
#include "display/keyboard.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "main/edit.h"
#include "text/buffer.h"

int main(int argc, char **argv) {
    if (!th_init(0, 0, 0)) return 2;
    scn_init();
    data_init();
    cur_buffer = buff_create("", -1, lang_create("c", "/*", "*/", ".*\\.c", "_", 0x300));
    int row = 4;
    auto show = [&row](const std::string &text) {
        th_cxy(0, row++);
        th_p_str(text.c_str());
        th_sync_screen();
    };
    for (int i = 1; i < argc; i++) {
        int result = load_file(argv[i], cur_buffer->id);
        int n = 0;
        for (BUFF *b : buffs) n += b != nullptr;
        show(std::string(argv[i]) + ": " + std::to_string(result) + ", " + std::to_string(n) +
             " buffers");
    }
    show("done");
    th_key_read();
    th_deinit();
    return 0;
}
