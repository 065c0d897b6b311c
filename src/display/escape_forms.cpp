#include "display/escape_forms.h"

#include "display/escape_table.h"
#include "display/keys.h"

namespace {

bool is_parameter(unsigned char c) {
    return c >= 0x30 && c <= 0x3F;
}

bool is_intermediate(unsigned char c) {
    return c >= 0x20 && c <= 0x2F;
}

bool is_final(unsigned char c) {
    return c >= 0x40 && c <= 0x7E;
}

bool all_digits(const unsigned char *b, int from, int to) {
    for (int i = from; i < to; i++)
        if (b[i] < '0' || b[i] > '9') return false;
    return to > from;
}

// The length of the control sequence at b (Escape, "["), once its last byte
// is among the len bytes; 0 while it is not whole or cannot be one.
int control_length(const unsigned char *b, int len) {
    if (len < 3) return 0;
    if (b[2] == '[') return len >= 4 && b[3] >= 0x20 && b[3] <= 0x7E ? 4 : 0;
    for (int i = 2; i < len; i++) {
        if (is_final(b[i])) return i + 1;
        // rxvt ends a shifted key's sequence with "$", which is otherwise an
        // intermediate byte.
        if (b[i] == '$' && all_digits(b, 2, i)) return i + 1;
        if (!is_parameter(b[i]) && !is_intermediate(b[i])) return 0;
    }
    return 0;
}

// The key of "n ~", or 0.
int numbered_key(int n) {
    switch (n) {
    case 1:
    case 7: return K_HOME;
    case 2: return K_INS;
    case 3: return K_DEL;
    case 4:
    case 8: return K_END;
    case 5: return K_PGUP;
    case 6: return K_PGDN;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15: return K_F1 + n - 11;
    case 17:
    case 18:
    case 19:
    case 20:
    case 21: return K_F6 + n - 17;
    case 23:
    case 24: return K_F11 + n - 23;
    default: return 0;
    }
}

// The key of a final letter, or 0.
int lettered_key(unsigned char final) {
    switch (final) {
    case 'A': return K_UP;
    case 'B': return K_DOWN;
    case 'C': return K_RIGHT;
    case 'D': return K_LEFT;
    case 'H': return K_HOME;
    case 'F': return K_END;
    case 'P': return K_F1;
    case 'Q': return K_F2;
    case 'R': return K_F3;
    case 'S': return K_F4;
    default: return 0;
    }
}

// The modifier bits of a modifier parameter, or -1.
int modifiers_of(int m) {
    if (m < 1 || m > 16) return -1;
    int bits = m - 1;
    return (bits & 1 ? K_SHIFT : 0) | (bits & 10 ? K_ALT : 0) | (bits & 4 ? K_CTRL : 0);
}

// The key of a whole control sequence: the parameter bytes p[0..n) and its
// final byte; extra is K_ALT when an Escape came before it.
int control_key(const unsigned char *p, int n, unsigned char final, int extra) {
    int params[2] = {-1, -1}; // -1: left empty
    int count = 0;
    if (n > 0 && p[0] == '[') return K_UNKNOWN; // the console's keys are all in the table
    for (int i = 0; i <= n; i++) {
        if (i == n || p[i] == ';') {
            if (++count > 2) return K_UNKNOWN;
            continue;
        }
        // Only digits, and two parameters at most.
        if (p[i] < '0' || p[i] > '9' || count == 2) return K_UNKNOWN;
        int &v = params[count];
        v = (v < 0 ? 0 : v) * 10 + (p[i] - '0');
        if (v > 9999) return K_UNKNOWN;
    }
    if (n == 0) count = 0;
    int key, modifiers = 0;
    if (final == '~' && count == 1 && params[0] == 200) return K_PASTE;
    if (final == '~' || final == '$' || final == '^' || final == '@') {
        key = numbered_key(params[0]);
        if (final == '~' && count == 2) modifiers = modifiers_of(params[1] < 0 ? 1 : params[1]);
        if (final != '~' && count != 1) key = 0;
        if (final == '$') modifiers = K_SHIFT;
        if (final == '^') modifiers = K_CTRL;
        if (final == '@') modifiers = K_CTRL | K_SHIFT;
    } else if (final >= 'a' && final <= 'd') {
        static const int shifted[] = {K_UP, K_DOWN, K_RIGHT, K_LEFT};
        key = count == 0 ? shifted[final - 'a'] : 0;
        modifiers = K_SHIFT;
    } else {
        key = lettered_key(final);
        if (count == 2 && params[0] <= 1)
            modifiers = modifiers_of(params[1] < 0 ? 1 : params[1]);
        else if (count != 0 || final >= 'P')
            key = 0;
    }
    if (key == 0 || modifiers < 0) return K_UNKNOWN;
    return named_form(key, modifiers | extra);
}

// The key of a whole sequence at b that does not begin with a second Escape.
int sequence_key(const unsigned char *b, int len, int extra) {
    if (b[1] == 'O') {
        if (len != 3 || b[2] < 0x20 || b[2] > 0x7E) return FORM_INCOMPLETE;
        return K_UNKNOWN; // every SS3 key is in the table
    }
    if (b[1] != '[' || control_length(b, len) != len) return FORM_INCOMPLETE;
    int first = 2, last = len - 1;
    return control_key(b + first, last - first, b[last], extra);
}

} // namespace

int escape_form(const unsigned char *bytes, int len) {
    if (len < 3) return FORM_INCOMPLETE;
    if (bytes[1] != K_ESCAPE) return sequence_key(bytes, len, 0);
    if (escape_lookup(bytes + 1, len - 1) >= 0) return FORM_INCOMPLETE;
    return sequence_key(bytes + 1, len - 1, K_ALT);
}

bool control_sequence_open(const unsigned char *bytes, int len) {
    int at = len > 1 && bytes[1] == K_ESCAPE ? 2 : 1;
    if (len <= at || bytes[at] != '[') return false;
    for (int i = at + 1; i < len; i++)
        if (!is_parameter(bytes[i]) && !is_intermediate(bytes[i])) return false;
    return true;
}

int named_form(int key, int modifiers) {
    const int tries[] = {modifiers, modifiers & ~K_SHIFT, modifiers & K_CTRL, modifiers & K_ALT,
                         modifiers & K_SHIFT};
    for (int m : tries)
        if (m != 0 && lookup_key_code(key | m) >= 0) return key | m;
    return key;
}
