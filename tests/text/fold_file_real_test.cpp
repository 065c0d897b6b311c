// Real text files read and written back: every regular file under
// /usr/include that the format can hold unchanged (no line over 500 bytes,
// no NUL byte, a final newline, no line that begins with the marker start)
// must come back byte for byte.
#include "fold_io.h"

#include "text/fold_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The sanitizer build allocates every line on its own and checks each access,
// which makes all of /usr/include take seconds: it checks every 16th file.
#ifdef OX_PLAIN_MALLOC
constexpr long file_stride = 16;
#else
constexpr long file_stride = 1;
#endif

bool holds_unchanged(const std::string &bytes, const std::string &marker_start) {
    if (bytes.empty()) return true;
    if (bytes.back() != '\n' || bytes.find('\0') != std::string::npos) return false;
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        if (end - start > LINE_MAX_TEXT) return false;
        if (bytes.compare(start, marker_start.size(), marker_start) == 0) return false;
        start = end + 1;
    }
    return true;
}

TEST(FoldFileReal, HeadersComeBackByteForByte) {
    const fs::path root = "/usr/include";
    if (!fs::is_directory(root)) GTEST_SKIP() << root << " is missing";
    const LANG lang = marker_lang();
    long files = 0, skipped = 0, seen = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(
             root, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_symlink() || !it->is_regular_file() || seen++ % file_stride) continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        const std::string bytes = s.str();
        if (!holds_unchanged(bytes, lang.rc_start)) {
            skipped++;
            continue;
        }
        FILE *fp = fopen(it->path().c_str(), "r");
        ASSERT_NE(fp, nullptr) << it->path();
        FoldPtr f(fold_create("", 0, 0));
        rw_begin(fp);
        set_rc(&lang);
        int ok = read_file(f.get());
        int loss = rdloss;
        rw_end();
        fclose(fp);
        ASSERT_EQ(ok, 1) << it->path();
        EXPECT_EQ(loss, 0) << it->path();
        ASSERT_EQ(write_bytes(f.get(), lang), bytes) << it->path();
        files++;
    }
    EXPECT_GT(files, 0);
    RecordProperty("files", static_cast<int>(files));
    RecordProperty("skipped", static_cast<int>(skipped));
}

} // namespace
