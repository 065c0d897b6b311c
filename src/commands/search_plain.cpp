#include "commands/search_plain.h"

#include "ere/sixteen.h"

#include <cstring>

namespace {

#ifdef __SSE2__
// Sixteen start positions at a time: where both the pattern's first byte and
// its last byte are in place (n at least 2), the bytes between are compared.
// Returns -2 when the text is too short for one block.
int find_in_blocks(const char *text, int from, int last, const char *pattern, int n) {
    if (last - from + 1 < 16) return -2;
    const __m128i first_byte = sixteen(static_cast<unsigned char>(pattern[0]));
    const __m128i last_byte = sixteen(static_cast<unsigned char>(pattern[n - 1]));
    for (int p = from;;) {
        // The last block is moved back to end at last; its starts before p
        // were looked at already.
        int at = p + 16 <= last + 1 ? p : last + 1 - 16;
        __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at));
        __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at + n - 1));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(head, first_byte), _mm_cmpeq_epi8(tail, last_byte))));
        mask = mask >> (p - at) << (p - at);
        for (; mask; mask &= mask - 1) {
            int start = at + __builtin_ctz(mask);
            if (std::memcmp(text + start + 1, pattern + 1, n - 2) == 0) return start;
        }
        if (at + 16 > last) return -1;
        p = at + 16;
    }
}
#endif

} // namespace

int plain_find_forwards(const char *text, int len, int from, const char *pattern, int n) {
    int last = len - n; // the last place the pattern fits
    if (from > last) return -1;
    if (n == 0) return from;
    if (n == 1) {
        const void *at = std::memchr(text + from, pattern[0], len - from);
        return at ? static_cast<int>(static_cast<const char *>(at) - text) : -1;
    }
#ifdef __SSE2__
    int found = find_in_blocks(text, from, last, pattern, n);
    if (found != -2) return found;
#endif
    for (int p = from; p <= last; p++)
        if (text[p] == pattern[0] && std::memcmp(text + p + 1, pattern + 1, n - 1) == 0) return p;
    return -1;
}

int plain_find_backwards(const char *text, int limit, const char *pattern, int n) {
    for (int p = limit; p >= n; p--)
        if (std::memcmp(text + p - n, pattern, n) == 0) return p - n;
    return -1;
}
