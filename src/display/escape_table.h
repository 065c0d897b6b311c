// The escape sequences that terminals send for their cursor, editing and
// function keys, and for Alt with a letter or digit. The forms that terminals
// build for keys with modifiers are decoded by display/escape_forms.h.
//
// Every sequence begins with Escape; no two are equal and none is a prefix of
// another. A row whose code carries ESC_ALT_FORM may also be typed with one
// more Escape in front, which gives its key with K_ALT added: Escape, Escape,
// "[", "A" is Alt-Up.
#pragma once

constexpr int ESC_ALT_FORM = 0x8000;

struct escape_seq {
    const char *seq;
    int code;
};

constexpr int ESCAPE_TABLE_ROWS = 230;

extern const escape_seq escape_table[ESCAPE_TABLE_ROWS];

// The key that these len bytes (the first an Escape) stand for, or -1 when
// they are not a whole sequence. The table is searched in order for an equal
// sequence; failing that, the bytes after the first are compared with the
// flagged rows, which gives their Alt form.
int escape_lookup(const unsigned char *bytes, int len);
