#include "text/scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FileCloser {
    void operator()(FILE *fp) const { fclose(fp); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;
using Lines = std::vector<std::string>;

// Every line get_line returns from a stream holding the bytes.
Lines lines_of(const std::string &bytes) {
    FilePtr fp(tmpfile());
    EXPECT_TRUE(fp);
    fwrite(bytes.data(), 1, bytes.size(), fp.get());
    rewind(fp.get());
    Lines lines;
    char buf[LINE_BUF_SIZE];
    while (get_line(buf, fp.get())) lines.emplace_back(buf);
    return lines;
}

TEST(GetLine, SplitsEveryFiveHundredBytesWithoutInventingEmptyLines) {
    std::string a500(500, 'a'), a499(499, 'a');
    // A full piece holding a NUL of its own must still be seen as full.
    std::string with_nul = std::string(10, 'x') + '\0' + std::string(489, 'y');
    struct Case {
        std::string bytes;
        Lines want;
    } cases[] = {
        {a500 + "b\n", {a500, "b"}},
        {a499 + "\nx\n", {a499, "x"}},
        {a500 + "\nx\n", {a500, "x"}},
        {a500 + a500 + "\n", {a500, a500}},
        {a500 + "\n\n", {a500, ""}},
        {a500 + a500 + a500.substr(0, 200), {a500, a500, a500.substr(0, 200)}},
        {"\n\nx", {"", "", "x"}},
        {"a\r\n\tb \xff\n", {"a\r", "\tb \xff"}},
        {"", {}},
        {std::string("ab\0cd\nef\n", 9), {"ab", "ef"}},
        {with_nul + "\nz\n", {std::string(10, 'x'), "z"}},
    };
    for (const Case &c : cases) EXPECT_EQ(lines_of(c.bytes), c.want) << c.bytes.size() << " bytes";
}

TEST(PutLine, WritesTextAndNewlineAndReportsFailure) {
    FilePtr fp(tmpfile());
    ASSERT_TRUE(fp);
    EXPECT_EQ(put_line("abc", fp.get()), 1);
    EXPECT_EQ(put_line("", fp.get()), 1);
    rewind(fp.get());
    char buf[16] = {};
    EXPECT_EQ(fread(buf, 1, sizeof buf, fp.get()), 5u);
    EXPECT_STREQ(buf, "abc\n\n");
    FilePtr full(fopen("/dev/full", "w"));
    ASSERT_TRUE(full);
    setvbuf(full.get(), nullptr, _IONBF, 0);
    EXPECT_EQ(put_line("abc", full.get()), 0);
}

TEST(SkipSpace, SkipsTheSixWhiteSpaceBytesOnly) {
    const char *text = " \t\n\v\f\rx", *high = "\xa0\x85";
    EXPECT_EQ(skip_space(text), text + 6);
    EXPECT_EQ(skip_space(high), high);
    EXPECT_EQ(*skip_space("  "), '\0');
}

TEST(ScanNum, DecimalAndHexadecimal) {
    struct Case {
        const char *text;
        unsigned value;
        int used;
    } decimal[] = {{"12ab", 12, 2},
                   {"abc", 0, 0},
                   {"-5", 0, 0},
                   {"007\xb2", 7, 3},
                   {"4294967295", 4294967295u, 10},
                   {"4294967306", 10, 10}}, // wraps at 32 bits
        hex[] = {{"&1F", 31, 3}, {"&", 0, 1}, {"&aBg", 0xab, 3}, {"&ffFFffFF", 0xffffffffu, 9},
                 {"1F", 1, 1},   {"x", 0, 0}};
    for (const Case &c : decimal) {
        int v = -1;
        EXPECT_EQ(scan_num(c.text, &v) - c.text, c.used) << c.text;
        EXPECT_EQ(static_cast<unsigned>(v), c.value) << c.text;
    }
    for (const Case &c : hex) {
        int v = -1;
        EXPECT_EQ(scan_num_hex(c.text, &v) - c.text, c.used) << c.text;
        EXPECT_EQ(static_cast<unsigned>(v), c.value) << c.text;
    }
}

TEST(ScanStr, StopsAtWhiteSpaceOrEnd) {
    char out[LINE_BUF_SIZE];
    const char *t = "a\xff"
                    "b\tc";
    EXPECT_EQ(scan_str(t, out), t + 3);
    EXPECT_STREQ(out, "a\xff"
                      "b");
    EXPECT_EQ(*scan_str("", out), '\0');
    EXPECT_STREQ(out, "");
}

TEST(ScanQuotedStr, BackslashTakesTheNextByteLiterally) {
    char out[LINE_BUF_SIZE];
    struct Case {
        const char *text, *want;
        int used;
    } good[] = {{R"("a\"b\\c\n" rest)", R"(a"b\cn)", 11}, {R"("\"")", "\"", 4}, {R"(""x)", "", 2}};
    for (const Case &c : good) {
        EXPECT_EQ(scan_quoted_str(c.text, out), c.text + c.used) << c.text;
        EXPECT_STREQ(out, c.want);
    }
    for (const char *bad : {"abc\"", " \"abc\"", "\"abc", "\"abc\\", "\"abc\\\"", "\"", ""}) {
        EXPECT_EQ(scan_quoted_str(bad, out), nullptr) << bad;
    }
}

TEST(PrintNum, ChainsWithPrintStrIntoAMessage) {
    char buf[LINE_BUF_SIZE];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(print_num(buf, 0), buf + 1);
    EXPECT_EQ(std::string(buf, 2), "0#");
    EXPECT_EQ(std::string(buf, print_num(buf, 4294967295u)), "4294967295");
    char *p = print_str(buf, "keycode ");
    p = print_num(p, 1000);
    p = print_str(p, " is not recognised");
    *p = 0;
    EXPECT_STREQ(buf, "keycode 1000 is not recognised");
}

} // namespace
