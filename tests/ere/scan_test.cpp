// The scans that look for a few bytes (or pairs of bytes) sixteen at a time
// find what a byte-by-byte loop finds, in every range of a text, and read
// nothing outside the range they are given.
#include "ere/scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
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
    const int length = 40; // two blocks and a half
    // The text alone in its block, so that a read outside it is caught by the
    // address sanitizer.
    std::unique_ptr<unsigned char[]> block(new unsigned char[length + 1]);
    unsigned char *t = block.get();
    const unsigned char bytes[] = "xyzb", seconds[] = "xyzc";
    for (int h = -1; h < length; h++) {
        // Two places hold the last of n wanted bytes and its pair's second byte.
        int n = 1 + (h + 1) % SCAN_MAX;
        std::memset(t, 'a', length + 1);
        t[length] = 0;
        for (int at : {h, (h * 7 + 3) % length}) {
            if (h < 0) break;
            t[at] = bytes[n - 1];
            if (at + 1 < length) t[at + 1] = seconds[n - 1];
        }
        for (int lo = 0; lo < length; lo++) {
            for (int hi = lo - 1; hi < length; hi++) {
                SCOPED_TRACE(std::to_string(lo) + " to " + std::to_string(hi) + ", " +
                             reinterpret_cast<char *>(t));
                ASSERT_EQ(scan_for_bytes(t, lo, hi, bytes, n), slow_forward(t, lo, hi, bytes, n));
                ASSERT_EQ(scan_back_for_bytes(t, lo, hi, bytes, n), slow_back(t, lo, hi, bytes, n));
                int pairs_to = hi < length - 1 ? hi : length - 2; // a pair's second byte is inside
                ASSERT_EQ(scan_for_pairs(t, lo, pairs_to, bytes, seconds, n),
                          slow_pairs(t, lo, pairs_to, bytes, seconds, n));
            }
        }
    }
}

} // namespace
