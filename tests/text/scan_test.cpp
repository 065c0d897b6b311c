#include "text/alloc.h"
#include "text/scan.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using line_texts = std::vector<std::string>;

// Every line get_line returns from a stream holding the bytes.
line_texts lines_of(const std::string &bytes) {
    std::unique_ptr<FILE, int (*)(FILE *)> fp(tmpfile(), fclose);
    fwrite(bytes.data(), 1, bytes.size(), fp.get());
    rewind(fp.get());
    line_texts lines;
    char buf[LINE_BUF_SIZE];
    while (get_line(buf, fp.get())) lines.emplace_back(buf);
    return lines;
}

TEST(Scan, GetLineSplitsEveryFiveHundredBytesWithoutInventingEmptyLines) {
    std::string a500(500, 'a'), a499(499, 'a');
    // A full piece holding a NUL of its own must still be seen as full.
    std::string with_nul = std::string(10, 'x') + '\0' + std::string(489, 'y');
    const std::pair<std::string, line_texts> cases[] = {
        // clang-format off
        {a500 + "b\n", {a500, "b"}}, {a499 + "\nx\n", {a499, "x"}},
        {a500 + "\nx\n", {a500, "x"}}, // the newline after a full piece belongs to it
        {a500 + a500 + "\n", {a500, a500}}, {a500 + "\n\n", {a500, ""}},
        {a500 + a500 + a500.substr(0, 200), {a500, a500, a500.substr(0, 200)}},
        {"\na\r\n\tb \xff", {"", "a\r", "\tb \xff"}}, {"", {}},
        {std::string("ab\0cd\nef\n", 9), {"ab", "ef"}}, {with_nul + "\nz\n", {std::string(10, 'x'), "z"}}};
    // clang-format on
    for (const auto &[bytes, want] : cases) EXPECT_EQ(lines_of(bytes), want) << bytes.size();
}

TEST(StringArena, BlocksOfMixedSizesNeverOverlap) {
    long before = alloc_live_blocks();
    std::mt19937 rng(7);
    std::vector<std::pair<char *, std::string>> live; // blocks filled with a byte of their own
    for (size_t round = 0; round < 20000; round++) {
        std::string text(rng() % 620, static_cast<char>('!' + round % 90));
        live.emplace_back(strsave(text.c_str()), text);
        ASSERT_NE(live.back().first, nullptr);
        std::swap(live[rng() % live.size()], live.back());
        if (rng() % 2) continue; // about half the blocks stay
        ASSERT_EQ(live.back().first, live.back().second) << "round " << round;
        // Some strings are shortened in place before they go back.
        if (rng() % 4 == 0) live.back().first[live.back().second.size() / 2] = 0;
        str_free(live.back().first);
        live.pop_back();
    }
    for (auto &[s, text] : live) {
        EXPECT_EQ(s, text);
        str_free(s);
    }
    EXPECT_EQ(alloc_live_blocks(), before);
}

} // namespace
