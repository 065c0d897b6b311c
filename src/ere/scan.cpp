#include "ere/scan.h"

#include "ere/sixteen.h"

#include <cstring>

namespace {

#ifdef __SSE2__
struct wanted_bytes {
    __m128i first[SCAN_MAX], second[SCAN_MAX];
    int count;

    wanted_bytes(const unsigned char *firsts, const unsigned char *seconds, int n) : count(n) {
        for (int i = 0; i < SCAN_MAX; i++) {
            first[i] = sixteen(firsts[i < n ? i : n - 1]);
            if (seconds) second[i] = sixteen(seconds[i < n ? i : n - 1]);
        }
    }

    unsigned bytes_at(const unsigned char *at) const {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(block, first[0]), _mm_cmpeq_epi8(block, first[1])),
            _mm_or_si128(_mm_cmpeq_epi8(block, first[2]), _mm_cmpeq_epi8(block, first[3])));
        return static_cast<unsigned>(_mm_movemask_epi8(hit));
    }

    unsigned pairs_at(const unsigned char *at) const {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 1));
        __m128i hit = _mm_setzero_si128();
        for (int i = 0; i < count; i++)
            hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi8(block, first[i]),
                                                  _mm_cmpeq_epi8(next, second[i])));
        return static_cast<unsigned>(_mm_movemask_epi8(hit));
    }
};

// Scans sixteen positions at a time; the last block is moved back to end at
// last (its positions before p masked off) rather than finishing one by one.
// Returns -2 when the range is too short for a block.
template <typename Hits> int scan_blocks(int p, int last, Hits hits_at) {
    if (last + 1 < 16 || p > last) return -2;
    for (;;) {
        int at = p + 16 <= last + 1 ? p : last + 1 - 16;
        unsigned mask = hits_at(at) >> (p - at) << (p - at);
        if (mask) return at + __builtin_ctz(mask);
        if (at + 16 > last) return -1;
        p = at + 16;
    }
}

// The same downwards: the first block is moved up to start at first.
template <typename Hits> int scan_blocks_back(int first, int p, Hits hits_at) {
    if (p + 1 - first < 16 || p < first) return -2;
    for (;;) {
        int at = p + 1 - 16 >= first ? p + 1 - 16 : first;
        int keep = at + 16 - (p + 1); // positions above p in the block
        unsigned mask = (hits_at(at) << keep & 0xFFFFu) >> keep;
        if (mask) return at + 31 - __builtin_clz(mask);
        if (at == first) return -1;
        p = at - 1;
    }
}
#endif

} // namespace

int scan_for_bytes(const unsigned char *text, int p, int last, const unsigned char *bytes,
                   int count) {
#ifdef __SSE2__
    wanted_bytes wanted(bytes, nullptr, count);
    int found = scan_blocks(p, last, [&](int at) { return wanted.bytes_at(text + at); });
    if (found != -2) return found;
#endif
    for (; p <= last; p++)
        for (int i = 0; i < count; i++)
            if (text[p] == bytes[i]) return p;
    return -1;
}

int scan_back_for_bytes(const unsigned char *text, int first, int p, const unsigned char *bytes,
                        int count) {
    if (count == 1) return scan_back_for_byte(text, first, p, bytes[0]);
#ifdef __SSE2__
    wanted_bytes wanted(bytes, nullptr, count);
    int found = scan_blocks_back(first, p, [&](int at) { return wanted.bytes_at(text + at); });
    if (found != -2) return found;
#endif
    for (; p >= first; p--)
        for (int i = 0; i < count; i++)
            if (text[p] == bytes[i]) return p;
    return -1;
}

int scan_for_pairs(const unsigned char *text, int p, int last, const unsigned char *firsts,
                   const unsigned char *seconds, int count) {
#ifdef __SSE2__
    wanted_bytes wanted(firsts, seconds, count);
    int found = scan_blocks(p, last, [&](int at) { return wanted.pairs_at(text + at); });
    if (found != -2) return found;
#endif
    for (; p <= last; p++)
        for (int i = 0; i < count; i++)
            if (text[p] == firsts[i] && text[p + 1] == seconds[i]) return p;
    return -1;
}
