#include "commands_owner.h"

#include "commands/arguments.h"

#include <cstring>
#include <string>

namespace {

using Arguments = CommandsTest;

// Where a reader stopped, as the rest of the text.
struct read_result {
    std::string error; // "" when it succeeded
    std::string rest;
};

template <class T, class Reader> read_result read(Reader reader, const char *text, T *value) {
    read_result r;
    r.error = error_of([&] { r.rest = reader(text, value, "question: "); });
    return r;
}

TEST_F(Arguments, Numbers) {
    const struct {
        const char *text;
        int value;
        const char *rest;
    } good[] = {
        {"12x", 12, "x"},          {"0", 0, ""},           {"&1F", 31, ""},
        {"&1f rest", 31, " rest"}, {"&", 0, ""},           {"&g", 0, "g"},
        {"007;", 7, ";"},          {"4294967295", -1, ""}, // 32 bits, as the scanner keeps them
    };
    for (auto c : good) {
        int value = -99;
        read_result r = read(get_num, c.text, &value);
        EXPECT_EQ(r.error, "") << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(r.rest, c.rest) << c.text;
    }
    for (const char *bad : {"x", "-1", "+1", "\"1\"", "'1'", ".5"}) {
        int value = -99;
        EXPECT_EQ(read(get_num, bad, &value).error, "bad number") << bad;
        EXPECT_EQ(value, -99) << bad;
    }
}

TEST_F(Arguments, Strings) {
    const struct {
        const char *text;
        const char *value;
        const char *rest;
    } good[] = {
        {R"("abc" "def")", "abc", R"( "def")"},
        {R"("")", "", ""},
        {R"("a\"b")", "a\"b", ""},
        {R"("\n")", "n", ""}, // no escapes but the literal next character
        {R"("a\\")", "a\\", ""},
        {R"("x y";z)", "x y", ";z"},
    };
    for (auto c : good) {
        char value[LINE_BUF_SIZE] = "untouched";
        read_result r = read(get_str, c.text, value);
        EXPECT_EQ(r.error, "") << c.text;
        EXPECT_STREQ(value, c.value) << c.text;
        EXPECT_EQ(r.rest, c.rest) << c.text;
    }
    for (const char *bad : {"abc", R"('a')", R"("abc)", R"("ab\")", R"("ab\)"}) {
        char value[LINE_BUF_SIZE];
        EXPECT_EQ(read(get_str, bad, value).error, "bad string") << bad;
    }
    // A string read from a text longer than a command text could overflow
    // the argument's buffer: it is refused.
    std::string long_text = "\"" + std::string(LINE_MAX_TEXT, 's') + "\"";
    char value[LINE_BUF_SIZE];
    EXPECT_EQ(read(get_str, long_text.c_str(), value).error, "bad string");
    long_text = "\"" + std::string(LINE_MAX_TEXT - 2, 's') + "\"";
    EXPECT_EQ(read(get_str, long_text.c_str(), value).error, "");
    EXPECT_EQ(std::strlen(value), size_t(LINE_MAX_TEXT - 2));
}

TEST_F(Arguments, Characters) {
    const struct {
        const char *text;
        unsigned char value;
        const char *rest;
    } good[] = {
        {"'x'", 'x', ""},  {"'''", '\'', ""},  {"' ' z", ' ', " z"}, {"65", 'A', ""},
        {"&41", 'A', ""},  {"&141", 'A', ""},  {"321", 'A', ""},     {"&", 0, ""},
        {"'\"'", '"', ""}, {"'a'b", 'a', "b"},
    };
    for (auto c : good) {
        unsigned char value = '?';
        read_result r = read(get_char, c.text, &value);
        EXPECT_EQ(r.error, "") << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(r.rest, c.rest) << c.text;
    }
    for (const char *bad : {"'", "'a", "'ab'", "''", "x", "\"x\""}) {
        unsigned char value;
        EXPECT_EQ(read(get_char, bad, &value).error, "bad character") << bad;
    }
}

TEST_F(Arguments, YesNoAndWhenWordsAreExact) {
    const struct {
        const char *text;
        int value;
        const char *rest;
    } yes_no[] = {{"yes", 1, ""}, {"no", 0, ""}, {"no\tx", 0, "\tx"}},
      when[] = {{"never", 0, ""}, {"if_open", 1, ""}, {"always x", 2, " x"}};
    for (auto c : yes_no) {
        int value = -1;
        read_result r = read(get_yn, c.text, &value);
        EXPECT_EQ(r.error, "") << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(r.rest, c.rest) << c.text;
    }
    for (auto c : when) {
        int value = -1;
        read_result r = read(get_when, c.text, &value);
        EXPECT_EQ(r.error, "") << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(r.rest, c.rest) << c.text;
    }
    for (const char *bad : {"Yes", "y", "yes;", "\"yes\"", "never", "1"}) {
        int value;
        EXPECT_EQ(read(get_yn, bad, &value).error, "bad yes/no flag") << bad;
    }
    for (const char *bad : {"Never", "if-open", "yes", "always;", "2"}) {
        int value;
        EXPECT_EQ(read(get_when, bad, &value).error, "bad search criterion") << bad;
    }
    EXPECT_EQ(lookup_opt("if_open", when_opts, 3), WHEN_IF_OPEN);
    EXPECT_EQ(lookup_opt("always", when_opts, 2), -1) << "only the first count options";
    EXPECT_EQ(lookup_opt("no", yes_no_opts, 2), 0);
}

TEST_F(Arguments, BuffersByNameOrDot) {
    BUFF *named = buff_create("dir/file.c", -1, top);
    ASSERT_NE(named, nullptr);
    BUFF *value = nullptr;
    EXPECT_EQ(read(get_buff, ". x", &value).rest, " x");
    EXPECT_EQ(value, cur_buffer);
    EXPECT_EQ(read(get_buff, R"("dir/file.c")", &value).error, "");
    EXPECT_EQ(value, named);
    EXPECT_EQ(read(get_buff, R"("dir\\file.c")", &value).error, "")
        << "the name is taken as a typed file name";
    EXPECT_EQ(value, named);
    EXPECT_EQ(read(get_buff, R"("")", &value).error, "");
    EXPECT_EQ(value, cur_buffer) << "the first buffer has the empty name";
    EXPECT_EQ(read(get_buff, R"("file.c")", &value).error, "bad buffer");
    EXPECT_EQ(read(get_buff, "\"a\x01\"", &value).error, "bad buffer") << "not a host name";
    EXPECT_EQ(read(get_buff, R"("dir/file.c)", &value).error, "bad string");
    EXPECT_EQ(read(get_buff, "dir/file.c", &value).error, "bad string");
    cur_buffer = nullptr;
    EXPECT_EQ(read(get_buff, ".", &value).error, "bad buffer");
}

TEST_F(Arguments, LanguagesByNameOrDot) {
    LANG *c = lang_create("c", "/*", "*/", ".*\\.c", "", 0);
    LANG *newer_c = lang_create("c", "//", "", "", "", 0);
    ASSERT_NE(newer_c, nullptr);
    LANG *value = nullptr;
    EXPECT_EQ(read(get_lang, ".", &value).error, "");
    EXPECT_EQ(value, top) << "the current buffer's language";
    EXPECT_EQ(read(get_lang, R"("c")", &value).error, "");
    EXPECT_EQ(value, newer_c) << "the newest of two of one name";
    EXPECT_NE(value, c);
    EXPECT_EQ(read(get_lang, R"("C")", &value).error, "bad language");
    EXPECT_EQ(read(get_lang, "top", &value).error, "bad string");
    cur_buffer = nullptr;
    EXPECT_EQ(read(get_lang, ".", &value).error, "bad language");
}

} // namespace
