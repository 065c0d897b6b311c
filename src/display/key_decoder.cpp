#include "display/key_decoder.h"

#include <cstring>

#include "display/escape_forms.h"
#include "display/escape_table.h"
#include "display/keys.h"
#include "display/utf8.h"

void key_decoder_add(key_decoder *dec, int byte) {
    if (dec->count >= KEY_SEQ_MAX) return;
    dec->bytes[dec->count++] = static_cast<unsigned char>(byte);
    dec->bytes[dec->count] = 0;
}

// Removes the first n bytes held.
static void take(key_decoder *dec, int n) {
    std::memmove(dec->bytes, dec->bytes + n, dec->count - n);
    dec->count -= n;
    dec->bytes[dec->count] = 0;
    if (dec->count == 0) dec->timed_out = 0;
}

int meta_key(int byte) {
    if (byte < 128) return byte;
    int c = byte & 0x7f;
    if (c >= 'a' && c <= 'z') return K_ALT | (c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return K_ALT | c;
    if (c >= '0' && c <= '9') return K_ALT | (c - '0');
    return K_NONE;
}

// Makes the decoder hold at least n bytes, reading them by the deadline; false
// when they did not come in time.
static bool hold(key_decoder *dec, key_source *source, long long deadline, int n) {
    while (dec->count < n) {
        if (dec->timed_out) return false;
        int byte = source->read_byte(deadline);
        if (byte == KEY_NO_BYTE) {
            dec->timed_out = 1;
            return false;
        }
        key_decoder_add(dec, byte);
    }
    return true;
}

// The bytes of the UTF-8 sequence that the lead byte begins, 0 for none.
static int sequence_length(unsigned char lead) {
    return lead >= 0xC2 && lead <= 0xDF   ? 2
           : lead >= 0xE0 && lead <= 0xEF ? 3
           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                          : 0;
}

// A byte that is not Escape: in UTF-8 mode a lead byte with the rest of its
// sequence is the character; any other byte is a key by itself.
static int byte_key(key_decoder *dec, key_source *source, long long deadline) {
    int want = dec->utf8 ? sequence_length(dec->bytes[0]) : 0;
    for (int n = 2; n <= want; n++)
        if (!hold(dec, source, deadline, n) || (dec->bytes[n - 1] & 0xC0) != 0x80) break;
    int n = want ? utf8_sequence(reinterpret_cast<const char *>(dec->bytes), dec->count) : 0;
    if (n == want && n > 0) {
        int key = K_CHAR | static_cast<int>(utf8_decode(reinterpret_cast<char *>(dec->bytes), n));
        take(dec, n);
        return key;
    }
    int byte = dec->bytes[0];
    take(dec, 1);
    return meta_key(byte);
}

// A control sequence too long to hold is read to its end and dropped.
static int drop_control_sequence(key_decoder *dec, key_source *source, long long deadline) {
    take(dec, dec->count);
    for (;;) {
        int byte = source->read_byte(deadline);
        if (byte == KEY_NO_BYTE) break;
        if (byte < 0x20 || byte > 0x3F) {
            if (byte < 0x40 || byte > 0x7E) key_decoder_add(dec, byte); // not its final byte
            break;
        }
    }
    return K_UNKNOWN;
}

int key_decode(key_decoder *dec, key_source *source) {
    long long deadline = source->now() + KEY_SEQ_TIMEOUT;
    if (dec->bytes[0] != K_ESCAPE) return byte_key(dec, source, deadline);
    // Bytes already held are taken one at a time, as if they were arriving,
    // so a sequence at the front of left-over bytes is still recognised.
    for (int len = 1;; len++) {
        int code = escape_lookup(dec->bytes, len);
        if (code < 0) code = escape_form(dec->bytes, len);
        if (code >= 0) {
            take(dec, len);
            return code;
        }
        if (len == KEY_SEQ_MAX && control_sequence_open(dec->bytes, len))
            return drop_control_sequence(dec, source, deadline);
        if (len == KEY_SEQ_MAX || !hold(dec, source, deadline, len + 1)) break;
    }
    take(dec, 1);
    return K_ESCAPE;
}
