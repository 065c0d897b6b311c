// Finding a plain pattern: the first place from a position and the last place
// ending before a limit, as a string search finds them, from every position
// of a line long enough to take every path of the block search.
#include "commands/search_plain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

TEST(SearchPlain, FindsWhatAStringSearchFinds) {
    const int length = 40;
    // The line alone in its block, so that a read past it is caught by the
    // address sanitizer.
    std::unique_ptr<char[]> block(new char[length + 1]);
    for (const std::string pattern : {"", "b", "ab", "aab", "abab"}) {
        const int n = static_cast<int>(pattern.size());
        // The pattern in two places of a line of a's, or in none.
        for (int h = -1; h + n <= length; h++) {
            std::string line(length, 'a');
            for (int at : {h, (h * 7 + 3) % (length - n + 1)})
                if (h >= 0) line.replace(at, n, pattern);
            std::memcpy(block.get(), line.c_str(), length + 1);
            for (int from = 0; from <= length + 1; from++) {
                SCOPED_TRACE("\"" + pattern + "\" in " + line + " from " + std::to_string(from));
                size_t first = line.find(pattern, from);
                ASSERT_EQ(plain_find_forwards(block.get(), length, from, pattern.c_str(), n),
                          first == std::string::npos || from > length ? -1 : int(first));
                int limit = from > length ? length : from;
                size_t last = limit >= n ? line.rfind(pattern, limit - n) : std::string::npos;
                ASSERT_EQ(plain_find_backwards(block.get(), limit, pattern.c_str(), n),
                          last == std::string::npos ? -1 : int(last));
            }
        }
    }
}

} // namespace
