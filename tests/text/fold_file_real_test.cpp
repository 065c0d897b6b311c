// Every regular file under /usr/include that the format holds unchanged (no
// line over 500 bytes, no NUL byte, a final newline, no line that begins with
// the marker start) must be read and written back byte for byte.
#include "fold_io.h"

#include "text/fold_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The sanitizer build checks every allocation and access, which makes all of
// /usr/include take seconds: it takes every 16th file.
#ifdef OX_PLAIN_MALLOC
constexpr long stride = 16;
#else
constexpr long stride = 1;
#endif

bool holds_unchanged(const std::string &bytes, const std::string &marker_start) {
    if (bytes.find('\0') != std::string::npos || (!bytes.empty() && bytes.back() != '\n')) {
        return false;
    }
    for (size_t at = 0, end; at < bytes.size(); at = end + 1) {
        end = bytes.find('\n', at);
        if (end - at > LINE_MAX_TEXT || bytes.compare(at, marker_start.size(), marker_start) == 0) {
            return false;
        }
    }
    return true;
}

TEST(FoldFileReal, HeadersComeBackByteForByte) {
    const fs::path root = "/usr/include";
    if (!fs::is_directory(root)) GTEST_SKIP() << root << " is missing";
    const LANG lang = marker_lang();
    long seen = 0, checked = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_symlink() || !it->is_regular_file() || seen++ % stride) continue;
        std::ostringstream s;
        s << std::ifstream(it->path(), std::ios::binary).rdbuf();
        if (!holds_unchanged(s.str(), lang.rc_start)) continue;
        std::unique_ptr<FILE, int (*)(FILE *)> fp(fopen(it->path().c_str(), "r"), fclose);
        ASSERT_NE(fp, nullptr) << it->path();
        FoldPtr f(fold_create("", 0, 0));
        rw_begin(fp.get());
        set_rc(&lang);
        ASSERT_EQ(read_file(f.get()), 1) << it->path();
        EXPECT_EQ(rdloss, 0) << it->path();
        rw_end();
        ASSERT_EQ(write_bytes(f.get(), lang), s.str()) << it->path();
        checked++;
    }
    EXPECT_GT(checked, 0);
}

} // namespace
