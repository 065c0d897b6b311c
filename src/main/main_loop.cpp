#include "main/main_loop.h"

#include "commands/bindings.h"
#include "commands/editor_state.h"
#include "commands/errors.h"
#include "commands/executor.h"
#include "commands/paste.h"
#include "commands/journal.h"
#include "commands/typing.h"
#include "display/keyboard.h"
#include "display/keys.h"
#include "display/prompt.h"
#include "display/screen.h"
#include "main/menu.h"
#include "text/scan.h"

void keycode_message(int code) {
    char message[64];
    char *p = print_str(message, "keycode ");
    p = print_num(p, static_cast<unsigned>(code));
    p = print_str(p, " is not recognised");
    *p = '\0';
    prompt(message);
}

static void not_bound(const char *name1, const char *name2) {
    char message[64];
    char *p = print_str(message, name1);
    if (name2 != nullptr) p = print_str(print_str(p, " "), name2);
    p = print_str(p, " is not bound");
    *p = '\0';
    prompt(message);
}

static bool is_ascii_letter(int k) {
    return (k >= 'a' && k <= 'z') || (k >= 'A' && k <= 'Z');
}

static void run_binding(int b) {
    exec_commands(bindings[b].action);
}

static void prefix_key(int k, const char *name) {
    char message[64];
    *print_str(print_str(message, name), " ...") = '\0';
    prompt(message);
    int k2 = th_key_read();
    if (is_ascii_letter(k2)) k2 &= 0x1f;
    if (k2 == K_ESCAPE) {
        prompt(error_messages[ERR_ABORTED]);
        return;
    }
    int i2 = lookup_key_code(k2);
    if (i2 < 0) {
        keycode_message(k2);
        return;
    }
    int b = find_binding(k, k2);
    if (b < 0) {
        not_bound(name, key_tab[i2].name);
        return;
    }
    prompt_blank();
    run_binding(b);
}

// A printable key types itself.
static bool is_typed(int k) {
    return (k >= 32 && k <= 255 && k != K_DEL127) || is_char_key(k);
}

void dispatch_key(int k) {
    if (k == K_ESCAPE) {
        menu();
        return;
    }
    if (is_typed(k)) {
        type_char(k);
        return;
    }
    if (k == K_PASTE) {
        paste_text(th_paste_text());
        return;
    }
    int i = lookup_key_code(k);
    if (i < 0) {
        keycode_message(k);
        return;
    }
    if (key_tab[i].prefix) {
        prefix_key(k, key_tab[i].name);
        return;
    }
    int b = find_binding(k, 0);
    if (b < 0)
        not_bound(key_tab[i].name, nullptr);
    else
        run_binding(b);
}

void main_loop() {
    journal_start(); // what was read and run at start-up is not undone
    while (!exit_flag) {
        int k = th_key_read();
        prompt("");
        journal_begin(is_typed(k));
        dispatch_key(k);
        journal_end();
        refresh();
    }
}
