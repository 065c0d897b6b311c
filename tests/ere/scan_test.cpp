// The scans that look for a few bytes (or pairs of bytes) sixteen at a time
// find what a byte-by-byte loop finds, at every alignment and range, and
// read nothing outside the range they are given.
#include "ere/scan.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

int slow_forward(const unsigned char *t, int p, int last, const unsigned char *bytes, int n) {
    for (; p <= last; p++)
        for (int i = 0; i < n; i++)
            if (t[p] == bytes[i]) return p;
    return -1;
}

int slow_back(const unsigned char *t, int first, int p, const unsigned char *bytes, int n) {
    for (; p >= first; p--)
        for (int i = 0; i < n; i++)
            if (t[p] == bytes[i]) return p;
    return -1;
}

int slow_pairs(const unsigned char *t, int p, int last, const unsigned char *a,
               const unsigned char *b, int n) {
    for (; p <= last; p++)
        for (int i = 0; i < n; i++)
            if (t[p] == a[i] && t[p + 1] == b[i]) return p;
    return -1;
}

TEST(EreScan, AgreesWithALoopOverEveryRange) {
    std::mt19937 rng(5);
    for (int round = 0; round < 3000; round++) {
        int length = static_cast<int>(rng() % 80);
        // The text alone in its block, so that a read outside it is caught by
        // the address sanitizer.
        std::unique_ptr<unsigned char[]> block(new unsigned char[length + 1]);
        unsigned char *t = block.get();
        // Wanted bytes are rare, so that most blocks hold none.
        for (int i = 0; i < length; i++) t[i] = rng() % 12 ? 'a' : "bcxyz"[rng() % 5];
        t[length] = 0;
        unsigned char bytes[SCAN_MAX], seconds[SCAN_MAX];
        int n = 1 + static_cast<int>(rng() % SCAN_MAX);
        for (int i = 0; i < n; i++) bytes[i] = "xyzb"[rng() % 4], seconds[i] = "xyzc"[rng() % 4];
        int lo = length ? static_cast<int>(rng() % length) : 0;
        int hi = lo + static_cast<int>(rng() % (length - lo + 1)) - 1; // lo - 1 to length - 1
        ASSERT_EQ(scan_for_bytes(t, lo, hi, bytes, n), slow_forward(t, lo, hi, bytes, n));
        ASSERT_EQ(scan_back_for_bytes(t, lo, hi, bytes, n), slow_back(t, lo, hi, bytes, n));
        if (hi >= length - 1) hi = length - 2; // a pair's second byte stays inside the text
        ASSERT_EQ(scan_for_pairs(t, lo, hi, bytes, seconds, n),
                  slow_pairs(t, lo, hi, bytes, seconds, n));
    }
}

} // namespace
