// Command texts on any bytes: run through the argument scanner and
// exec_commands against a buffer and a screen without a terminal, where
// every question is escaped. Commands may read and write files: they run in
// a scratch folder of their own, and a text that could name a file outside
// it (a "/", a backslash, "~" or "$(") or put such a name together (the
// character commands, which take a character by its code, and a line run as
// commands) is only scanned, as
// is one that reopens the terminal (other_mode). Shell commands are refused
// (restricted mode).
//
// Input: the command text (a NUL or a newline ends it).
#include "commands/arguments.h"
#include "commands/bindings.h"
#include "commands/editor_state.h"
#include "commands/errors.h"
#include "commands/executor.h"
#include "commands/undelete.h"
#include "commands/write_back.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "text/buffer.h"
#include "text/lang.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string folder;

// Removes what the last run left in the folder.
void empty_folder() {
    DIR *d = opendir(".");
    if (!d) return;
    while (dirent *e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) {
            if (unlink(e->d_name) != 0) rmdir(e->d_name);
        }
    }
    closedir(d);
}

// Whether running the text can reach only the scratch folder and nothing
// but files.
bool safe_to_run(const std::string &text) {
    if (text.find_first_of("/\\~$") != std::string::npos) return false;
    for (const char *word : {"line_exec", "character_", "other_mode"})
        if (text.find(word) != std::string::npos) return false;
    return true;
}

void fresh_tables() {
    cur_buffer = nullptr;
    for (text_buffer *b : buffs)
        if (b) buff_delete(b);
    while (n_langs) lang_delete(langs[n_langs - 1]);
    undel_release_all();
    clear_bindings();
    data_init();
    language_def *top = lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    if (!top) std::abort();
    cur_buffer = buff_create("", -1, top);
    if (!cur_buffer) std::abort();
    exit_flag = 0;
    ret_code = 0;
    backups = 1;
    restricted = 1;
}

// Every argument reader on the text, as a command's arguments would be read.
void scan_arguments(const char *text) {
    char s[LINE_BUF_SIZE];
    int n;
    unsigned char c;
    text_buffer *b;
    language_def *l;
    const char *q = "question: ";
    run_with_recovery([&] { get_num(text, &n, q); });
    run_with_recovery([&] { get_str(text, s, q); });
    run_with_recovery([&] { get_char(text, &c, q); });
    run_with_recovery([&] { get_buff(text, &b, q); });
    run_with_recovery([&] { get_lang(text, &l, q); });
    run_with_recovery([&] { get_yn(text, &n, q); });
    run_with_recovery([&] { get_when(text, &n, q); });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    char pattern[] = "/tmp/ox-fuzz-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0) std::abort();
    folder = pattern;
    setenv("HOME", pattern, 1);
    std::atexit([] {
        empty_folder();
        rmdir(folder.c_str());
    });
    x_size = 80;
    y_size = 24;
    scn_init();
    fresh_tables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);
    text = text.substr(0, text.find_first_of(std::string("\n\0", 2)));
    if (text.size() > LINE_MAX_TEXT) return 0;
    scan_arguments(text.c_str());
    if (!safe_to_run(text)) return 0;
    fresh_tables();
    exec_commands(text.c_str());
    refresh();
    empty_folder();
    return 0;
}
