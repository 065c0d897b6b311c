// commands_driver: asks for command arguments and runs command texts at a
// real terminal, for terminal_test.cpp. Test scaffolding, never installed.
//
//     commands_driver {-a type | -r command-text}
//
// Each option shows one result, from row 4 down: -a asks "question: " for an
// argument of the type (the letters of argument_reader.h) and shows the type
// and the result; -r runs the text and shows "ran 1", or "ran 0" and the
// error. Then "done";
// a key ends the program. The tables hold the language "top", a buffer
// without a name, the current buffer "two.txt" and a language "c".
#include "argument_reader.h"

#include "commands/bindings.h"
#include "commands/executor.h"
#include "display/keyboard.h"
#include "display/terminal.h"

int main(int argc, char **argv) {
    if (!th_init(0, 0, 0)) return 2;
    data_init();
    language_def *top = lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    buff_create("", -1, top);
    cur_buffer = buff_create("two.txt", -1, top);
    lang_create("c", "/*", "*/", ".*\\.c", "_", 0x300);
    int row = 4;
    auto show = [&row](const std::string &text) {
        th_cxy(0, row++);
        th_p_str(text.c_str());
        th_sync_screen();
    };
    for (int i = 1; i + 1 < argc; i += 2) {
        if (argv[i][1] == 'a')
            show(argv[i + 1] + (" " + read_argument(argv[i + 1][0], "?")));
        else
            show(exec_commands(argv[i + 1]) ? "ran 1" : "ran 0 " + std::string(last_error()));
    }
    show("done");
    th_key_read();
    clear_bindings();
    th_deinit();
    return 0;
}
