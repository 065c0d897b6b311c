// commands_driver: brings the terminal up and runs pieces of the command layer
// that talk to the user, so that they can be tested through a real terminal.
// Test scaffolding, never installed.
//
//     commands_driver {-i inifile | -r command-text | -a argument-type | -o file}
//
// The options act in order; each shows one result row, from row 4 down:
//   -i  read_ini_file, then "<n> bindings"
//   -r  exec_commands, then "ran 1" or "ran 0"
//   -a  ask for an argument of the type (number, string, char, buffer,
//       language, yesno, when) as a "?" in a command text does, with the
//       question "question: ", then "<type> <value>" or "<type> failed"
//   -o  write the binding table to the file, one binding a line: the key's
//       name, the second key's name after a blank when there is one, "=" and
//       the action
// Then "done" on the next row; a key ends the program. The tables hold the
// language "top", the current buffer (no name), a buffer "two.txt" and a
// language "c".
#include <cstdio>
#include <string>

#include "commands/arguments.h"
#include "commands/bindings.h"
#include "commands/errors.h"
#include "commands/executor.h"
#include "commands/ini_file.h"
#include "display/keyboard.h"
#include "display/keys.h"
#include "display/terminal.h"

namespace {

int result_row = 4;

void show(const std::string &text) {
    th_cxy(0, result_row++);
    th_p_str(text.c_str());
    th_deleol();
    th_sync_screen();
}

std::string ask(const std::string &type) {
    const char *q = "question: ";
    std::string value;
    int ok = run_with_recovery([&] {
        if (type == "number") {
            int n;
            get_num("?", &n, q);
            value = std::to_string(n);
        } else if (type == "string") {
            char s[LINE_BUF_SIZE];
            get_str("?", s, q);
            value = s;
        } else if (type == "char") {
            unsigned char c;
            get_char("?", &c, q);
            value = std::to_string(c);
        } else if (type == "buffer") {
            BUFF *b;
            get_buff("?", &b, q);
            value = "\"" + std::string(b->fn) + "\"";
        } else if (type == "language") {
            LANG *l;
            get_lang("?", &l, q);
            value = l->name;
        } else if (type == "yesno") {
            int n;
            get_yn("?", &n, q);
            value = std::to_string(n);
        } else {
            int n;
            get_when("?", &n, q);
            value = std::to_string(n);
        }
    });
    return type + " " + (ok ? value : "failed");
}

void write_bindings(const char *name) {
    FILE *fp = std::fopen(name, "w");
    if (fp == nullptr) return;
    for (int i = 0; i < n_bindings; i++) {
        std::fputs(key_tab[lookup_key_code(bindings[i].key1)].name, fp);
        if (bindings[i].key2 != 0)
            std::fprintf(fp, " %s", key_tab[lookup_key_code(bindings[i].key2)].name);
        std::fprintf(fp, "=%s\n", bindings[i].action);
    }
    std::fclose(fp);
}

} // namespace

int main(int argc, char **argv) {
    if (!th_init(0, 0, 0)) return 2;
    data_init();
    LANG *top = lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    cur_buffer = buff_create("", -1, top);
    buff_create("two.txt", -1, top);
    lang_create("c", "/*", "*/", ".*\\.c", "_", 0x300);
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        const char *value = argv[i + 1];
        if (option == "-i") {
            read_ini_file(value);
            show(std::to_string(n_bindings) + " bindings");
        } else if (option == "-r") {
            show("ran " + std::to_string(exec_commands(value)));
        } else if (option == "-a") {
            show(ask(value));
        } else if (option == "-o") {
            write_bindings(value);
        }
    }
    show("done");
    th_key_read();
    clear_bindings();
    th_deinit();
    return 0;
}
