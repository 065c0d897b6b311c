// The key commands: making prefix keys and binding keys to command texts.
// Key names are those of key_tab (display/keys.h); an unknown name raises
// "bad key name".
#pragma once

// key_prefix (key name): binds the key alone to the empty action, replacing
// any single binding it had, and makes it a prefix key. Blanks before the
// name are skipped; the rest of the text is the name.
void cmd_k_prefix();

// key_bind (keys, action): binds a key, or a prefix key and a second key, to
// the action text. The keys text holds a key name, or for a prefix key its
// name, white space and the second key's name; further words are ignored.
void cmd_k_bind();
