#include "text/alloc.h"
#include "text/scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Bytes that tell the owner, so that overlapping blocks spoil each other.
std::string pattern(size_t owner, size_t len) {
    std::string s(len, ' ');
    for (size_t i = 0; i < len; i++) s[i] = static_cast<char>('!' + (owner * 7 + i) % 90);
    return s;
}

TEST(StringArena, BlocksOfMixedSizesNeverOverlap) {
    long before = alloc_live_blocks();
    std::mt19937 rng(7);
    std::vector<std::pair<char *, std::string>> live;
    for (size_t round = 0; round < 20000; round++) {
        if (!live.empty() && rng() % 3 == 0) {
            size_t i = rng() % live.size();
            ASSERT_EQ(live[i].first, live[i].second) << "round " << round;
            // Some strings are shortened in place before they go back.
            if (rng() % 4 == 0) live[i].first[live[i].second.size() / 2] = 0;
            str_free(live[i].first);
            live[i] = live.back();
            live.pop_back();
        } else {
            std::string text = pattern(round, rng() % 620);
            live.emplace_back(strsave(text.c_str()), text);
            ASSERT_NE(live.back().first, nullptr);
        }
    }
    for (auto &[s, text] : live) {
        EXPECT_EQ(s, text);
        str_free(s);
    }
    EXPECT_EQ(alloc_live_blocks(), before);
}

} // namespace
