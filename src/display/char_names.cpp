#include "display/char_names.h"

#include "display/utf8.h"

static int visible;

static const char hex_digits[] = "0123456789abcdef";
static char space_name[2] = " ";
static char tab_name[9] = "        ";
static char one_char[2];
static char control_name[3] = "^@";
static char hex_name[5] = "<00>";
static char unknown_name[2] = "?";

static int tab_offset(int col) {
    return (col % 8 + 8) % 8;
}

void set_white_space_vis(int flag) {
    visible = flag != 0;
    space_name[0] = visible ? '.' : ' ';
    tab_name[7] = visible ? '>' : ' ';
}

int white_space_vis() {
    return visible;
}

int len_char_name(int byte, int col) {
    byte &= 0xff;
    if (byte == '\t') return 8 - tab_offset(col);
    if (byte >= ' ' && byte < 127) return 1;
    if (!visible) return 1;
    return byte < ' ' ? 2 : 4;
}

const char *char_name(int byte, int col) {
    byte &= 0xff;
    if (byte == ' ') return space_name;
    if (byte == '\t') return tab_name + tab_offset(col);
    if (byte > ' ' && byte < 127) {
        one_char[0] = static_cast<char>(byte);
        return one_char;
    }
    if (!visible) return unknown_name;
    if (byte < ' ') {
        control_name[1] = static_cast<char>(byte + 64);
        return control_name;
    }
    hex_name[1] = hex_digits[byte >> 4];
    hex_name[2] = hex_digits[byte & 15];
    return hex_name;
}

// The length of a printable sequence at s in UTF-8 mode, else 0.
static int printable_sequence(const char *s, int *width) {
    if (!utf8_text() || static_cast<unsigned char>(*s) < 0x80) return 0;
    int n = utf8_sequence(s, 4);
    if (n == 0) return 0;
    *width = utf8_cells(s, n);
    return *width >= 0 ? n : 0;
}

glyph glyph_at(const char *s, int col) {
    int width;
    if (int n = printable_sequence(s, &width)) return {n, width, s, n};
    int byte = static_cast<unsigned char>(*s);
    int w = len_char_name(byte, col);
    return {1, w, char_name(byte, col), w};
}

int glyph_width(const char *s, int col, int *bytes) {
    int width;
    int n = printable_sequence(s, &width);
    *bytes = n ? n : 1;
    return n ? width : len_char_name(static_cast<unsigned char>(*s), col);
}
