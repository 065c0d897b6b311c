#include "text/alloc.h"
#include "text/scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// A string whose bytes tell its owner and length, so that two blocks that
// overlap spoil each other's pattern.
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
            str_free(live[i].first);
            live[i] = live.back();
            live.pop_back();
        } else {
            std::string text = pattern(round, rng() % 620);
            char *s = strsave(text.c_str());
            ASSERT_NE(s, nullptr);
            live.emplace_back(s, text);
        }
    }
    for (auto &[s, text] : live) {
        EXPECT_EQ(s, text);
        str_free(s);
    }
    EXPECT_EQ(alloc_live_blocks(), before);
}

TEST(StringArena, ShortenedStringGoesBackSafely) {
    char *s = strsave(pattern(1, 100).c_str());
    ASSERT_NE(s, nullptr);
    s[3] = 0;
    str_free(s);
    std::vector<char *> again;
    for (size_t len : {3u, 7u, 3u, 100u, 0u}) {
        again.push_back(strsave(pattern(len, len).c_str()));
        ASSERT_NE(again.back(), nullptr);
    }
    size_t i = 0;
    for (size_t len : {3u, 7u, 3u, 100u, 0u}) EXPECT_EQ(again[i++], pattern(len, len));
    for (char *t : again) str_free(t);
}

struct Record {
    long a, b, c;
};

TEST(RecordPool, RecordsAreDistinctAndReused) {
    static POOL pool = POOL_INIT(sizeof(Record));
    long before = alloc_live_blocks();
    std::vector<Record *> recs;
    for (long i = 0; i < 50000; i++) {
        auto *r = static_cast<Record *>(pool_get(&pool));
        ASSERT_NE(r, nullptr);
        *r = {i, -i, i * 3};
        recs.push_back(r);
    }
    for (long i = 0; i < 50000; i++) {
        ASSERT_EQ(recs[i]->a, i);
        ASSERT_EQ(recs[i]->c, i * 3);
    }
    EXPECT_EQ(alloc_live_blocks(), before + 50000);
    for (Record *r : recs) pool_put(&pool, r);
    EXPECT_EQ(alloc_live_blocks(), before);
    pool_put(&pool, nullptr);
}

TEST(AllocFailure, OnlyTheChosenAllocationFails) {
    alloc_fail_after(2);
    char *first = strsave("one");
    char *second = strsave("two");
    char *third = strsave("three");
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    str_free(first);
    str_free(third);
    alloc_fail_after(0);
}

} // namespace
