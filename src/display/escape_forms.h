// The escape sequences that the table (display/escape_table.h) does not list:
// the forms that terminals build for keys with modifiers, and every other
// whole control sequence, which stands for no key.
//
// A control sequence is Escape, "[", parameter bytes 0x30-0x3F, intermediate
// bytes 0x20-0x2F and a final byte 0x40-0x7E ("[[" and one byte more for the
// Linux console's function keys); an SS3 sequence is Escape, "O" and one
// byte 0x20-0x7E. Of these:
//
//   Esc [ 1 ; m A..D, H, F     Up, Down, Right, Left, Home, End
//   Esc [ 1 ; m P..S           F1-F4
//   Esc [ n ; m ~              n: 1 and 7 Home, 2 Ins, 3 Del, 4 and 8 End,
//                              5 PgUp, 6 PgDn, 11-15 F1-F5, 17-21 F6-F10,
//                              23 F11, 24 F12 (the plain forms of 7 and 8
//                              are rxvt's Home and End)
//   Esc [ n $, ^, @            rxvt: the same keys with shift, control, or
//                              shift and control
//   Esc [ a..d                 rxvt: shift with Up, Down, Right, Left
//   Esc [ 200 ~                the start of a bracketed paste (K_PASTE)
//
// where m - 1 holds the modifiers: 1 shift, 2 Alt, 4 control, 8 meta (taken
// as Alt). A key with modifiers that key_tab has no name for becomes the
// nearest key that has one (named_form). Any other whole sequence is
// K_UNKNOWN. Escape in front of a form adds Alt, as it does to the table's
// flagged rows.
#pragma once

constexpr int FORM_INCOMPLETE = -1;

// The key of these len bytes (the first an Escape) as a whole sequence:
// FORM_INCOMPLETE while they are no whole sequence (yet), whether or not
// more bytes could make one. Escape followed by a sequence of the table that
// has no Alt form is left incomplete too, as the table's rule has it.
int escape_form(const unsigned char *bytes, int len);

// True while the bytes are a control sequence not yet whole: Escape (or two),
// "[", and parameter and intermediate bytes alone.
bool control_sequence_open(const unsigned char *bytes, int len);

// The key with these modifier bits if key_tab names it; failing that the
// first named of: without shift, control alone, Alt alone, shift alone, the
// key alone.
int named_form(int key, int modifiers);
