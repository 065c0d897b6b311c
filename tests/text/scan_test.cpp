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

// A temporary stream holding bytes, positioned at its start.
FilePtr stream_of(const std::string &bytes) {
    FilePtr fp(tmpfile());
    EXPECT_TRUE(fp);
    fwrite(bytes.data(), 1, bytes.size(), fp.get());
    rewind(fp.get());
    return fp;
}

// Every line get_line returns from the bytes, in order.
std::vector<std::string> lines_of(const std::string &bytes) {
    FilePtr fp = stream_of(bytes);
    std::vector<std::string> lines;
    char buf[LINE_BUF_SIZE];
    while (get_line(buf, fp.get())) lines.emplace_back(buf);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(GetLine, SplitsLongLinesEveryFiveHundredBytes) {
    std::string a500(500, 'a'), b(1, 'b');
    EXPECT_EQ(lines_of(a500 + "b\n"), (Lines{a500, b}));
    EXPECT_EQ(lines_of(a500 + a500 + a500.substr(0, 200)),
              (Lines{a500, a500, a500.substr(0, 200)}));
    EXPECT_EQ(lines_of(std::string(499, 'a') + "\nx\n"), (Lines{std::string(499, 'a'), "x"}));
}

TEST(GetLine, NewlineAfterAFullPieceEndsThatPiece) {
    std::string a500(500, 'a');
    EXPECT_EQ(lines_of(a500 + "\nx\n"), (Lines{a500, "x"}));
    EXPECT_EQ(lines_of(a500 + a500 + "\n"), (Lines{a500, a500}));
    EXPECT_EQ(lines_of(a500 + "\n\n"), (Lines{a500, ""}));
    EXPECT_EQ(lines_of(a500), (Lines{a500}));
}

TEST(GetLine, KeepsEveryOtherByteAndEmptyLines) {
    EXPECT_EQ(lines_of("\n\nx"), (Lines{"", "", "x"}));
    EXPECT_EQ(lines_of("a\r\n\tb \xff\n"), (Lines{"a\r", "\tb \xff"}));
    EXPECT_EQ(lines_of(""), Lines{});
}

TEST(GetLine, NulEndsTheTextButNotTheLine) {
    EXPECT_EQ(lines_of(std::string("ab\0cd\nef\n", 9)), (Lines{"ab", "ef"}));
    // A full piece holding a NUL is still known to be full.
    std::string piece = std::string(10, 'x') + '\0' + std::string(489, 'y');
    ASSERT_EQ(piece.size(), 500u);
    EXPECT_EQ(lines_of(piece + "\nz\n"), (Lines{std::string(10, 'x'), "z"}));
}

TEST(PutLine, WritesTextAndNewlineAndReportsFailure) {
    FilePtr fp(tmpfile());
    ASSERT_TRUE(fp);
    EXPECT_EQ(put_line("abc", fp.get()), 1);
    EXPECT_EQ(put_line("", fp.get()), 1);
    rewind(fp.get());
    char buf[16] = {};
    ASSERT_EQ(fread(buf, 1, sizeof buf, fp.get()), 5u);
    EXPECT_STREQ(buf, "abc\n\n");

    FilePtr full(fopen("/dev/full", "w"));
    ASSERT_TRUE(full);
    setvbuf(full.get(), nullptr, _IONBF, 0);
    EXPECT_EQ(put_line("abc", full.get()), 0);
}

TEST(SkipSpace, SkipsTheSixWhiteSpaceBytesOnly) {
    const char *text = " \t\n\v\f\rx";
    EXPECT_EQ(skip_space(text), text + 6);
    const char *high = "\xa0\x85";
    EXPECT_EQ(skip_space(high), high);
    const char *blank = "  ";
    EXPECT_EQ(*skip_space(blank), '\0');
    char writable[] = " y";
    char *p = skip_space(writable);
    EXPECT_EQ(p, writable + 1);
}

TEST(ScanNum, ReadsDecimalDigitsOnly) {
    int v = -1;
    const char *t = "12ab";
    EXPECT_EQ(scan_num(t, &v), t + 2);
    EXPECT_EQ(v, 12);
    t = "abc";
    v = -1;
    EXPECT_EQ(scan_num(t, &v), t);
    EXPECT_EQ(v, 0);
    t = "-5";
    EXPECT_EQ(scan_num(t, &v), t);
    EXPECT_EQ(v, 0);
    t = "007\xb2";
    EXPECT_EQ(scan_num(t, &v), t + 3);
    EXPECT_EQ(v, 7);
}

TEST(ScanNum, WrapsAtThirtyTwoBits) {
    int v = 0;
    scan_num("4294967295", &v);
    EXPECT_EQ(static_cast<unsigned>(v), 4294967295u);
    scan_num("4294967296", &v);
    EXPECT_EQ(v, 0);
    scan_num("4294967306", &v);
    EXPECT_EQ(v, 10);
}

TEST(ScanNumHex, ReadsHexAfterAmpersandElseDecimal) {
    int v = -1;
    const char *t = "&1F";
    EXPECT_EQ(scan_num_hex(t, &v), t + 3);
    EXPECT_EQ(v, 31);
    t = "&";
    v = -1;
    EXPECT_EQ(scan_num_hex(t, &v), t + 1);
    EXPECT_EQ(v, 0);
    t = "&aBg";
    EXPECT_EQ(scan_num_hex(t, &v), t + 3);
    EXPECT_EQ(v, 0xab);
    scan_num_hex("&ffFFffFF", &v);
    EXPECT_EQ(static_cast<unsigned>(v), 0xffffffffu);
    t = "1F";
    EXPECT_EQ(scan_num_hex(t, &v), t + 1);
    EXPECT_EQ(v, 1);
}

TEST(ScanStr, StopsAtWhiteSpaceOrEnd) {
    char out[LINE_BUF_SIZE];
    const char *t = "a\xff"
                    "b\tc";
    EXPECT_EQ(scan_str(t, out), t + 3);
    EXPECT_STREQ(out, "a\xff"
                      "b");
    t = "";
    EXPECT_EQ(scan_str(t, out), t);
    EXPECT_STREQ(out, "");
    t = "word";
    EXPECT_EQ(scan_str(t, out), t + 4);
    EXPECT_STREQ(out, "word");
}

TEST(ScanQuotedStr, BackslashTakesTheNextByteLiterally) {
    char out[LINE_BUF_SIZE];
    const char *t = R"("a\"b\\c\n" rest)";
    EXPECT_EQ(scan_quoted_str(t, out), t + 11);
    EXPECT_STREQ(out, R"(a"b\cn)");
    t = R"("\"")";
    EXPECT_EQ(scan_quoted_str(t, out), t + 4);
    EXPECT_STREQ(out, "\"");
    t = R"(""x)";
    EXPECT_EQ(scan_quoted_str(t, out), t + 2);
    EXPECT_STREQ(out, "");
}

TEST(ScanQuotedStr, RefusesMalformedStrings) {
    char out[LINE_BUF_SIZE];
    for (const char *bad : {"abc\"", " \"abc\"", "\"abc", "\"abc\\", "\"abc\\\"", "\"", ""}) {
        EXPECT_EQ(scan_quoted_str(bad, out), nullptr) << bad;
    }
}

TEST(PrintNum, WritesUnsignedDecimalWithoutNul) {
    char buf[32];
    memset(buf, '#', sizeof buf);
    char *end = print_num(buf, 0);
    EXPECT_EQ(end, buf + 1);
    EXPECT_EQ(std::string(buf, 2), "0#");
    end = print_num(buf, 4294967295u);
    EXPECT_EQ(std::string(buf, end), "4294967295");
    end = print_num(buf, 1000000);
    EXPECT_EQ(std::string(buf, end), "1000000");
}

TEST(PrintStr, ChainsIntoAMessage) {
    char buf[LINE_BUF_SIZE];
    char *p = print_str(buf, "keycode ");
    p = print_num(p, 12345);
    p = print_str(p, " is not recognised");
    *p = 0;
    EXPECT_STREQ(buf, "keycode 12345 is not recognised");
    EXPECT_EQ(print_str(buf, ""), buf);
}

TEST(StrSave, CopiesAnyLength) {
    for (size_t n : {0u, 1u, 7u, 8u, 500u, 511u, 512u, 2000u}) {
        std::string text(n, 'q');
        char *copy = strsave(text.c_str());
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy, text.c_str());
        EXPECT_EQ(copy, text);
        str_free(copy);
    }
    str_free(nullptr);
}

} // namespace
