#include "commands_owner.h"

#include "commands/translate.h"

namespace {

// The expansion of a translate string, or "!" and the error it raises.
std::string expand(const std::string &text) {
    char out[LINE_BUF_SIZE];
    size_t n = 0;
    std::string error = error_of([&] { n = trans_parse(text.c_str(), out); });
    return error.empty() ? std::string(out, n) : "!" + error;
}

TEST(TranslateString, RangesEscapesAndTheirErrors) {
    const struct {
        std::string text, expansion;
    } cases[] = {
        {"", ""},
        {"a-e", "abcde"},
        {"a-c-e", "abcde"},
        {"z-a", "z"},
        {"z-a-c", "zbc"}, // a range's end starts the next one even when it added nothing
        {"a-a0-2", "a012"},
        {"\\-\\\\\\n", "-\\n"},
        {"\\a-c", "abc"},
        {"a-\\", "a"}, // the byte after a hyphen is taken as it is
        {"\xfd-\xff", "\xfd\xfe\xff"},
        {"~-\x81", "~\x7f\x80\x81"},
        {"-a", "!bad - range in translate string"},
        {"a-", "!bad - range in translate string"},
        {"ab\\", "!bad \\ escape in translate string"},
        {"\\\\\\", "!bad \\ escape in translate string"},
        // 255 bytes, then 1 and 244 more.
        {"\x01-\xff\x01-\xf5", expand("\x01-\xff") + "\x01" + expand("\x02-\xf5")},
        {"\x01-\xff\x01-\xf5y", "!translate string expands too big"},
        {std::string(500, 'x'), std::string(500, 'x')},
        {std::string(501, 'x'), "!translate string expands too big"},
    };
    for (const auto &c : cases) EXPECT_EQ(expand(c.text), c.expansion) << c.text;
    EXPECT_EQ(expand("\x01-\xff\x01-\xf5").size(), 500u);
}

TEST(TranslateString, TheFirstOccurrenceDecides) {
    char s[] = "banana \x80\xff";
    trans_apply(s, "aab\xff\x80", "xyz\x80\xff");
    EXPECT_STREQ(s, "zxnxnx \xff\x80");
}

} // namespace
