// Sixteen copies of a byte in one SSE2 register, for the scans that look at
// sixteen bytes at a time: the expression engine's (ere/scan.h) and the plain
// search's (commands/search_plain.h).
#pragma once

#ifdef __SSE2__
#include <emmintrin.h>

// Made in a register: _mm_set1_epi8 goes through memory, and reading back
// what was just stored as one byte stalls.
inline __m128i sixteen(unsigned char byte) {
    return _mm_set1_epi32(static_cast<int>(byte * 0x01010101u));
}
#endif
