// The scans that look for a few bytes (or pairs of bytes) sixteen at a time
// find the one wanted place in every range of a text, and read nothing
// outside the range they are given.
#include "ere/scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

TEST(EreScan, FindTheWantedPlaceInEveryRange) {
    const int length = 40; // two blocks and a half
    // The text alone in its block, so that a read outside it is caught by the
    // address sanitizer.
    std::unique_ptr<unsigned char[]> block(new unsigned char[length + 1]);
    unsigned char *t = block.get();
    const unsigned char firsts[] = "wxyz", seconds[] = "cdef";
    for (int h = 0; h + 1 < length; h++) {
        // The last of n wanted bytes at h, and its pair's second byte after it.
        int n = 1 + h % SCAN_MAX;
        std::memset(t, 'a', length);
        t[length] = 0;
        t[h] = firsts[n - 1];
        t[h + 1] = seconds[n - 1];
        for (int lo = 0; lo < length; lo++) {
            for (int hi = lo - 1; hi < length; hi++) {
                SCOPED_TRACE(std::to_string(lo) + " to " + std::to_string(hi) + ", at " +
                             std::to_string(h));
                const int in = lo <= h && h <= hi ? h : -1;
                ASSERT_EQ(scan_for_bytes(t, lo, hi, firsts, n), in);
                ASSERT_EQ(scan_back_for_bytes(t, lo, hi, firsts, n), in);
                const int pairs_to = std::min(hi, length - 2); // a pair's second byte is inside
                ASSERT_EQ(scan_for_pairs(t, lo, pairs_to, firsts, seconds, n),
                          lo <= h && h <= pairs_to ? h : -1);
            }
        }
    }
}

} // namespace
