// The binding table: which command text a key, or a prefix key and a second
// key, runs.
//
// Bindings are kept in order of creation and never removed; binding a pair
// again replaces its action in place. Each binding owns a heap copy of its
// action. Which keys are prefix keys is the prefix flag of their key_tab row
// (display/keys.h), set by key_prefix.
#pragma once

inline constexpr int MAX_BINDINGS = 250;

struct key_binding {
    int key1;     // the key, or the prefix key
    int key2;     // the key after the prefix; 0 for a single key
    char *action; // the command text run when the keys are pressed; owned
};

extern key_binding bindings[MAX_BINDINGS];
extern int n_bindings;

// The index of the binding of exactly this pair (key2 0 for a single key), or -1.
int find_binding(int key1, int key2);

// Binds the pair to a copy of the action: replaces the action of a pair bound
// already, else appends a binding. Raises "out of memory" when the copy cannot
// be made and "too many bindings" when a new pair would be the 251st; the
// table is then unchanged.
void bind_key(int key1, int key2, const char *action);

// 1 when the key_tab row of the key code has its prefix flag set.
int is_prefix_key(int code);

// Frees every action, empties the table and clears every prefix flag: the
// state at start. For shutting down and for tests.
void clear_bindings();
