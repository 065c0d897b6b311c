#include "display/key_decoder.h"

#include <cstring>

#include "display/escape_table.h"
#include "display/keys.h"

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

int key_decode(key_decoder *dec, key_source *source) {
    long long deadline = source->now() + KEY_SEQ_TIMEOUT;
    // Bytes already held are taken one at a time, as if they were arriving,
    // so a sequence at the front of left-over bytes is still recognised.
    int len = 1;
    for (;;) {
        if (dec->bytes[0] != K_ESCAPE) {
            int byte = dec->bytes[0];
            take(dec, 1);
            return meta_key(byte);
        }
        int code = escape_lookup(dec->bytes, len);
        if (code >= 0) {
            take(dec, len);
            return code;
        }
        if (len == KEY_SEQ_MAX) break;
        if (len < dec->count) {
            len++;
            continue;
        }
        if (dec->timed_out) break;
        int byte = source->read_byte(deadline);
        if (byte == KEY_NO_BYTE) {
            dec->timed_out = 1;
            break;
        }
        key_decoder_add(dec, byte);
        len++;
    }
    take(dec, 1);
    return K_ESCAPE;
}
