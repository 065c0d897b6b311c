#include "main/edit.h"

#include "commands/errors.h"
#include "commands/help_command.h"
#include "commands/ini_file.h"
#include "display/keyboard.h"
#include "display/prompt.h"
#include "display/screen.h"
#include "host/filename.h"
#include "host/files.h"
#include "main/main_loop.h"
#include "main/user_guide.h"
#include "text/buff_file.h"
#include "text/buffer.h"
#include "text/flags.h"
#include "text/fold_file.h"
#include "text/vfold_name.h"

#include <cstring>

#define HOST_NAME "Sun UNIX"
const char banner[] = "Birch Editor for " HOST_NAME ", 23/7/99 R.Moss";

// Shows a message that must be read before going on, saying that a key is
// awaited (so that a key typed at it is not taken for text), and waits for one.
static void tell_and_wait(const char *message, const char *fn = "") {
    file_prompt(message, fn, ", press a key ...");
    th_key_read();
}

load_result load_file(const char *fn, int parent) {
    language_def *lang = lang_for_file(fn);
    if (lang == nullptr) {
        tell_and_wait(error_messages[ERR_CANT_DEDUCE_LANGUAGE]);
        return LOAD_NO_LANGUAGE;
    }
    text_buffer *b = buff_create(fn, parent, lang);
    if (b == nullptr) return LOAD_NO_BUFFER;
    file_prompt("reading ", fn);
    read_report read = buff_read(b, fn);
    if (!read) tell_and_wait(error_messages[read_fail_code(read.outcome)], fn);
    prompt_blank();
    if (is_readonly(fn)) tell_and_wait("warning: readonly file ", fn);
    if (const char *warning = rdloss_warning(read.loss, b->crlf)) tell_and_wait(warning, fn);
    b->changed = 0;
    return LOAD_DONE;
}

// Lists the file names in the first buffer as open virtual fold lines, in
// command-line order; the cursor ends on the first line. 0 when memory ran
// out. A name that is no acceptable host name, or cannot be quoted, is left
// out with the message "bad filename " and the name, waiting for a key, so
// that the user does not take the list for the file and type into it.
static int list_files(text_buffer *first, int n_files, char *const *files) {
    tree_fold *f = first->top;
    for (int i = 0; i < n_files; i++) {
        char quoted[LINE_BUF_SIZE];
        if (get_os_fn(files[i]) == nullptr || !enquote_vfold_fn(files[i], quoted)) {
            tell_and_wait(error_messages[ERR_BAD_FILENAME], files[i]);
            continue;
        }
        tree_line *l = line_create_virt(quoted, 0, 1);
        if (l == nullptr) return 0;
        line_insert(l, f);
        first->line_no += line_step_next(f);
    }
    first->line_no += line_step_first(f);
    return 1;
}

static void read_initialisation(const char *program_path, const char *ini_name) {
    const char *name = ini_name != nullptr ? ini_name : get_ox_fn(program_path);
    const char *os_name = get_os_fn(name);
    if (os_name == nullptr) {
        tell_and_wait("bad initialisation file name");
        return;
    }
    char copy[OS_FN_SIZE];
    std::strcpy(copy, os_name);
    read_ini_file(copy);
}

// Loads every acceptable file; when exactly one was loaded its buffer becomes
// current. 0 when a buffer could not be made.
static int load_files(int n_files, char *const *files) {
    int loaded = 0;
    char first_loaded[OS_FN_SIZE] = "";
    for (int i = 0; i < n_files; i++) {
        const char *os_name = get_os_fn(files[i]);
        if (os_name == nullptr) continue;
        char fn[OS_FN_SIZE];
        std::strcpy(fn, os_name);
        load_result r = load_file(fn, cur_buffer->id);
        if (r == LOAD_NO_BUFFER) return 0;
        if (r != LOAD_DONE) continue;
        if (loaded++ == 0) std::strcpy(first_loaded, fn);
    }
    if (loaded == 1)
        if (text_buffer *b = lookup_buff_text(first_loaded)) cur_buffer = b;
    return 1;
}

int edit(const char *program_path, int n_files, char *const *files, int auto_load,
         const char *ini_name) {
    language_def *top =
        lang_create("top", "/*...", "*/", ".*\\.top", "_", FLAG_AUTOINDENT | FLAG_INSERT);
    if (top == nullptr) return 0;
    cur_buffer = buff_create("", -1, top);
    if (cur_buffer == nullptr) return 0;
    if (!list_files(cur_buffer, n_files, files)) return 0;
    help_set_guide(find_user_guide(program_path).c_str());
    read_initialisation(program_path, ini_name);
    if (auto_load && !load_files(n_files, files)) return 0;
    refresh_all();
    prompt(banner);
    main_loop();
    return 1;
}
