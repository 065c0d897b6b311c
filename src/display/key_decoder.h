// Turning typed bytes into key codes.
//
// Bytes gather in a key_decoder. A byte other than Escape is a key by itself
// (a byte 128-255 becomes an Alt key, see meta_key), except that when the
// decoder reads UTF-8 a byte that starts a UTF-8 sequence is read with the
// rest of it, and a whole valid sequence is one key: K_CHAR plus its code
// point. An Escape starts a sequence: further bytes are read until the
// gathered bytes are a sequence of the escape table, a whole sequence of
// display/escape_forms.h (a key with modifiers, a paste's start, or a
// sequence that stands for no key, K_UNKNOWN, read to its end and so never
// typed), 30 bytes have gathered, or one second has passed since decoding
// began. The last two yield Escape alone (27); the bytes after it stay in the
// decoder and are decoded by later calls without waiting for the terminal
// again, since their time is already up. A UTF-8 sequence that does not come
// whole within the second yields its first byte as above.
//
// The decoder reads through a key_source, so it runs against the terminal and
// against a scripted source in tests alike.
#pragma once

constexpr int KEY_SEQ_MAX = 30;       // bytes gathered before a sequence is given up
constexpr int KEY_SEQ_TIMEOUT = 1000; // milliseconds a sequence may take to arrive
constexpr int KEY_NO_BYTE = -1;       // nothing arrived before the deadline

// Where the bytes come from. Times are milliseconds on the source's own clock.
struct key_source {
    // The next byte (0-255), or KEY_NO_BYTE when none arrived by the deadline.
    virtual int read_byte(long long deadline) = 0;
    virtual long long now() = 0;

  protected:
    ~key_source() = default;
};

struct key_decoder {
    unsigned char bytes[KEY_SEQ_MAX + 2];
    int count;
    // The bytes held are what remained of a sequence that timed out.
    int timed_out;
    // Bytes 128-255 start UTF-8 characters (display/utf8.h).
    int utf8;
};

// Appends a byte read from the terminal; the decoder must hold fewer than
// KEY_SEQ_MAX bytes.
void key_decoder_add(key_decoder *dec, int byte);

// Decodes one key from the bytes held, which must be at least one, reading
// more from the source while an escape sequence is incomplete.
int key_decode(key_decoder *dec, key_source *source);

// The key for a byte that is not part of a sequence: bytes below 128 are
// themselves; of a byte 128-255 the low seven bits give K_ALT plus the
// upper-case letter or the digit's value, and anything else gives K_NONE.
int meta_key(int byte);
