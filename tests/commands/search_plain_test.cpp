// Finding a plain pattern: the first place from a position and the last place
// ending before a limit, as a string search finds them, for lines long and
// short enough to take every path of the block search.
#include "commands/search_plain.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

TEST(SearchPlain, FindsWhatAStringSearchFinds) {
    std::mt19937 rng(11);
    for (int round = 0; round < 4000; round++) {
        int length = static_cast<int>(rng() % 90);
        // The line alone in its block, so that a read past it is caught by the
        // address sanitizer.
        std::unique_ptr<char[]> block(new char[length + 1]);
        for (int i = 0; i < length; i++) block[i] = "aab"[rng() % 3];
        block[length] = '\0';
        std::string line(block.get(), length);
        std::string pattern;
        for (int n = static_cast<int>(rng() % 5); n > 0; n--) pattern += "ab"[rng() % 2];
        int n = static_cast<int>(pattern.size());
        int from = static_cast<int>(rng() % (length + 2));
        size_t first = line.find(pattern, from);
        ASSERT_EQ(plain_find_forwards(block.get(), length, from, pattern.c_str(), n),
                  first == std::string::npos || from > length ? -1 : static_cast<int>(first))
            << "\"" << pattern << "\" in \"" << line << "\" from " << from;
        int limit = from > length ? length : from;
        size_t last = limit >= n ? line.rfind(pattern, limit - n) : std::string::npos;
        ASSERT_EQ(plain_find_backwards(block.get(), limit, pattern.c_str(), n),
                  last == std::string::npos ? -1 : static_cast<int>(last))
            << "\"" << pattern << "\" in \"" << line << "\" up to " << limit;
    }
}

} // namespace
