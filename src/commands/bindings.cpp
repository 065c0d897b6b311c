#include "commands/bindings.h"

#include "commands/errors.h"
#include "display/keys.h"
#include "text/scan.h"

key_binding bindings[MAX_BINDINGS];
int n_bindings;

int find_binding(int key1, int key2) {
    for (int i = 0; i < n_bindings; i++)
        if (bindings[i].key1 == key1 && bindings[i].key2 == key2) return i;
    return -1;
}

void bind_key(int key1, int key2, const char *action) {
    char *copy = strsave(action);
    if (copy == nullptr) error_code(ERR_OUT_OF_MEMORY);
    int i = find_binding(key1, key2);
    if (i >= 0) {
        str_free(bindings[i].action);
        bindings[i].action = copy;
        return;
    }
    if (n_bindings == MAX_BINDINGS) {
        str_free(copy);
        error_code(ERR_TOO_MANY_BINDINGS);
    }
    bindings[n_bindings++] = {key1, key2, copy};
}

int is_prefix_key(int code) {
    int i = lookup_key_code(code);
    return i >= 0 && key_tab[i].prefix;
}

void clear_bindings() {
    for (int i = 0; i < n_bindings; i++) {
        str_free(bindings[i].action);
        bindings[i] = {};
    }
    n_bindings = 0;
    for (int i = 0; key_tab[i].name != nullptr; i++) key_tab[i].prefix = 0;
}
