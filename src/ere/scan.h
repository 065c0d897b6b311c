// Finding the next start position worth walking: the next byte of a small
// set, or the next pair of bytes of a small set of pairs; and the previous
// byte of a small set.
#pragma once

constexpr int SCAN_MAX = 4;

// The first position from p to last (inclusive) whose byte is one of the
// count (1 to SCAN_MAX) bytes, or -1. Reads only bytes p to last.
int scan_for_bytes(const unsigned char *text, int p, int last, const unsigned char *bytes,
                   int count);

#include <cstring>

// The last position from first to p (inclusive, going down) whose byte is
// byte, or -1.
inline int scan_back_for_byte(const unsigned char *text, int first, int p, unsigned char byte) {
    if (p < first) return -1;
    const void *at = memrchr(text + first, byte, p + 1 - first);
    return at ? static_cast<int>(static_cast<const unsigned char *>(at) - text) : -1;
}

// The last position from first to p (inclusive, going down) whose byte is one
// of the count (1 to SCAN_MAX) bytes, or -1. Reads only bytes first to p.
int scan_back_for_bytes(const unsigned char *text, int first, int p, const unsigned char *bytes,
                        int count);

// The first position i from p to last (inclusive) where text[i] is firsts[k]
// and text[i + 1] is seconds[k] for some k below count (1 to SCAN_MAX), or -1.
// Reads only bytes p to last + 1.
int scan_for_pairs(const unsigned char *text, int p, int last, const unsigned char *firsts,
                   const unsigned char *seconds, int count);
