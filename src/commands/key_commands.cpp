#include "commands/key_commands.h"

#include "commands/arguments.h"
#include "commands/bindings.h"
#include "commands/errors.h"
#include "display/keys.h"
#include "text/scan.h"

// The key_tab row of the first word at p, and the position after the word.
static int key_word(const char **p) {
    char name[LINE_BUF_SIZE];
    *p = scan_str(skip_space(*p), name);
    int i = lookup_key_name(name);
    if (i < 0) error_code(ERR_BAD_KEY_NAME);
    return i;
}

void cmd_k_prefix() {
    int i = lookup_key_name(skip_space(arg_val[0].str));
    if (i < 0) error_code(ERR_BAD_KEY_NAME);
    bind_key(key_tab[i].code, 0, "");
    key_tab[i].prefix = 1;
}

void cmd_k_bind() {
    const char *p = arg_val[0].str;
    int first = key_word(&p);
    int key2 = 0;
    if (key_tab[first].prefix) key2 = key_tab[key_word(&p)].code;
    bind_key(key_tab[first].code, key2, arg_val[1].str);
}
