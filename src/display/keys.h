// Key codes and key names.
//
// A key is an int. Control characters arrive as 1-31, printable characters as
// 32-126, the DEL character as 127 and Escape pressed alone as 27. Cursor and
// editing keys start at 0x100, function keys at 0x201; the modifier bits
// K_SHIFT, K_CTRL and K_ALT are added to them. Alt with a letter or a digit is
// K_ALT plus the upper-case letter or the digit's value. Code 0 is "no key":
// a byte with the high bit set that is neither a letter nor a digit.
//
// key_tab names the keys that bindings can use: "^A", "Del127", "~Left",
// "^Grey+", "@F12", "@Z", "@0" and so on. Names are case-sensitive; Escape,
// ^@, the printable characters and the plain Grey keys have none.
#pragma once

constexpr int K_NONE = 0;
constexpr int K_BACKSPACE = 8;
constexpr int K_TAB = 9;
constexpr int K_RETURN = 13;
constexpr int K_ESCAPE = 27;
constexpr int K_DEL127 = 127;

constexpr int K_LEFT = 0x100;
constexpr int K_RIGHT = 0x101;
constexpr int K_UP = 0x102;
constexpr int K_DOWN = 0x103;
constexpr int K_HOME = 0x104;
constexpr int K_END = 0x105;
constexpr int K_PGUP = 0x106;
constexpr int K_PGDN = 0x107;
constexpr int K_INS = 0x108;
constexpr int K_DEL = 0x109;
// The keypad operator keys; they come only with a modifier.
constexpr int K_GREY_PLUS = 0x10A;
constexpr int K_GREY_MINUS = 0x10B;
constexpr int K_GREY_STAR = 0x10C;
constexpr int K_GREY_SLASH = 0x10D;

constexpr int K_F1 = 0x201;
constexpr int K_F2 = 0x202;
constexpr int K_F3 = 0x203;
constexpr int K_F4 = 0x204;
constexpr int K_F5 = 0x205;
constexpr int K_F6 = 0x206;
constexpr int K_F7 = 0x207;
constexpr int K_F8 = 0x208;
constexpr int K_F9 = 0x209;
constexpr int K_F10 = 0x20A;
constexpr int K_F11 = 0x20B;
constexpr int K_F12 = 0x20C;

// Modifier bits, written "~", "^" and "@" in key names.
constexpr int K_SHIFT = 0x1000;
constexpr int K_CTRL = 0x2000;
constexpr int K_ALT = 0x4000;

// Codes that key_tab does not name. K_UNKNOWN is a whole escape sequence that
// stands for no key: it was read to its end and is reported, never typed.
// K_PASTE is a bracketed paste, whose text th_paste_text gives
// (display/keyboard.h).
constexpr int K_PASTE = 0x0FFE;
constexpr int K_UNKNOWN = 0x0FFF;

// In UTF-8 mode (display/utf8.h) a character typed as a UTF-8 sequence of
// several bytes arrives as K_CHAR plus its code point.
constexpr int K_CHAR = 0x1000000;

inline bool is_char_key(int key) {
    return key >= K_CHAR && key <= (K_CHAR | 0x10FFFF);
}

// One row of key_tab. The prefix flag is 0 as built; key_prefix sets it to
// make the key the first of a two-key binding.
struct key_tab_entry {
    const char *name;
    int code;
    int prefix;
};

constexpr int KEY_TAB_ROWS = 161;

// KEY_TAB_ROWS named keys followed by an end row whose name is null.
extern key_tab_entry key_tab[KEY_TAB_ROWS + 1];

// Index of the first key_tab row with this code, or -1.
int lookup_key_code(int code);

// Index of the first key_tab row whose name equals this one exactly, or -1.
int lookup_key_name(const char *name);
