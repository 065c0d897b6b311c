// The editing commands: typing, characters, strings and words, the undelete
// stack, lines and pages, and translate strings.
#include "commands_fixture.h"

#include <optional>

#include "commands/paste.h"
#include "commands/translate.h"
#include "commands/typing.h"
#include "display/keys.h"
#include "support/utf8_mode.h"
#include "text/alloc.h"
#include "text/flags.h"

namespace {

std::string a(int n) {
    return std::string(n, 'a');
}

const std::vector<std::string> words = {"ab,cd ef", "  gh\t"};
// From the cursor after "ab": the rest of the line deleted, the cursor one left.
const std::string deletes = "character_delete_left character_delete_right character_right "
                            "character_delete_eol character_left ";
const std::string too_long = " !line too long", indentation = " !can't type on fold indentation";

using Editing = CommandsTest;

// The buffer starts in insert mode with real tabs; setup_insert switches to
// overtype and setup_tabs sets a tab size.
TEST_F(Editing, CommandsChangeTheLineAndMarkWhatChanged) {
    run_cases({
        // clang-format off
        // Typing by the mode, and the 500-byte limit.
        {{"abc"}, 0, 1, "character_type 'x'", "axbc, @0:2 r6 *"},
        {{"abc"}, 0, 1, R"(setup_insert character_type 'y' string_type "zw")", "ayzw, @0:4 r6 *"},
        {{a(500)}, 0, 10, "character_insert 'x'", a(500) + ", @0:10 r6" + too_long},
        {{a(498)}, 0, 498, R"(string_insert "xyz")", a(498) + "xy, @0:500 r6 *" + too_long},
        // The end line becomes a line only when something is typed.
        {{"first"}, 1, 0, "setup_insert character_type 'x'", "first,x, @1:1 r6 *"},
        // A fold line's indentation takes spaces only.
        {{"[  f"}, 0, 1, "character_insert ' '", "[f 3 c:], @0:2 r6 *"},
        {{"< v"}, 0, 5, "character_insert 'x'", "<xv 1 c>, @0:6 r6 *"},
        // Tabs by tab size and mode.
        {{"\tab"}, 0, 2, "setup_tabs 4 character_tab", "\ta   b, @0:5 r6 *"}, // from column 9
        {{a(499)}, 0, 499, "setup_insert setup_tabs 4 character_tab", a(499) + " , @0:500 r6 *"},
        {{"[ f"}, 0, 1, "setup_tabs 4 character_tab", "[f 4 c:], @0:4 r6 *"},
        // Deleting characters, and a fold line's indentation.
        {{"abcd"}, 0, 2, "character_delete_left character_delete_right", "ad, @0:1 r6 * <>"},
        {{"abcd"}, 0, 1, "character_delete_eol", "a, @0:1 r6 * S"},
        {{"[  nm"}, 0, 6, "character_delete_left", "[nm 1 c:], @0:5 r6 *"},
        // Joining lines.
        {{"ab", "cd", "ef"}, 1, 0, "character_delete_left", "abcd,ef, @0:2 r5 *"},
        {{"[f", "]", "xy"}, 1, 0, "character_delete_left", "[fxy 0 c:], @0:5 r5 *"},
        {{"[f", "]", "ef"}, 0, 5, "character_delete_right", "[fef 0 c:], @0:5 r6 *"},
        {{a(300), a(201)}, 1, 0, "character_delete_left",
         a(300) + "," + a(201) + ", @1:0 r6" + too_long},
        // Character and word moves across line ends.
        {{"ab", "c"}, 1, 0, "character_left", "ab,c, @0:2 r5"},
        {{"ab", "c"}, 0, 2, "character_right character_right character_right", "ab,c, @2:0 r8"},
        {words, 0, 8, "word_right", "ab,cd ef,  gh\t, @1:4 r7"},
        {{"x", "[  nm"}, 1, 2, "word_right word_left", "x,[nm 2 c:], @1:6 r6"},
        // Characters and strings back from the undelete stack.
        {{"abcdef"}, 0, 2, deletes + "other_put", "aefd, @0:1 r6 * <>S"},
        {{"abcdef"}, 0, 2, deletes + "other_undelete other_undelete other_undelete",
         "abcefd, @0:2 r6 *"},
        {{"ab"}, 0, 0, "other_squeeze other_put", "ab, @0:0 r6 !undeleted stack empty"},
        // Nothing deleted at a line's end: nothing comes back, nothing changed.
        {{"ab"}, 0, 2, "character_delete_eol other_put", "ab, @0:2 r6 S"},
        {{"ab"}, 0, 2, "character_delete_eol other_undelete", "ab, @0:2 r6"},
        // A string that does not fit goes in not at all, and stays to be put again.
        {{"abc", a(499)}, 0, 1, "character_delete_eol line_down other_put",
         "a," + a(499) + ", @1:1 r22 * S" + too_long},
        // clang-format on
    });
}

// a, é, 中 and b.
const std::string ae = "a\xc3\xa9\xe4\xb8\xad"
                       "b";

// Each case where text is UTF-8 and where it is bytes: the cursor and every
// edit step over whole characters, or over bytes.
TEST_F(Editing, Utf8CharactersOrBytesByTheLocale) {
    const struct {
        std::vector<std::string> outline;
        int into;
        std::string text, utf8, bytes;
    } cases[] = {
        // clang-format off
        // Overtyping replaces the character under the cursor.
        {{ae}, 1, "setup_insert character_type 'x'", "ax\xe4\xb8\xad" "b, @0:2 r6 *", "ax\xa9\xe4\xb8\xad" "b, @0:2 r6 *"},
        {{ae}, 0, "setup_insert string_type \"\xe4\xb8\xad\"", "\xe4\xb8\xad\xc3\xa9\xe4\xb8\xad" "b, @0:3 r6 *",
         "\xe4\xb8\xad\xe4\xb8\xad" "b, @0:3 r6 *"},
        // A character goes in whole or not at all.
        {{a(499)}, 0, "string_insert \"\xc3\xa9\"", a(499) + ", @0:0 r6" + too_long, "\xc3" + a(499) + ", @0:1 r6 *" + too_long},
        // Words: a character of several bytes is a word character unless the
        // separators hold it.
        {{"ab \xc3\xa9\xe4\xb8\xad,cd"}, 2, "word_right", "@0:8", "@0:8"},
        {{"ab\xc2\xb7" "cd"}, 0, "word_right", "@0:2", "@0:2"},
        {{"ab\xc2\xa0" "cd"}, 0, "word_right", "@0:6", "@0:2"}, // a byte of a separator
        // clang-format on
    };
    std::strcpy(top->separators, ",;\xc2\xb7");
    for (bool utf8 : {true, false}) {
        std::optional<test_support::utf8_mode> mode;
        if (utf8) mode.emplace();
        for (const auto &c : cases) {
            SCOPED_TRACE(c.text + (utf8 ? " in UTF-8" : " in bytes"));
            undel_release_all();
            build(c.outline, 0, c.into);
            std::string got = run(c.text);
            const std::string &want = utf8 ? c.utf8 : c.bytes;
            EXPECT_EQ(want[0] == '@' ? got.substr(got.find(" @") + 1, want.size()) : got, want);
        }
    }
}

TEST_F(Editing, TypedCharactersAndPastes) {
    test_support::utf8_mode utf8;
    build({a(497)}, 0, 497);
    EXPECT_EQ(type_char(K_CHAR | 0x4E2D), 1);
    EXPECT_EQ(type_char(K_CHAR | 0xE9), 0) << "two bytes more do not fit";
    EXPECT_EQ(state(), a(497) + "\xe4\xb8\xad, @0:500 r6 *");
    // A paste goes in as it is: its own indents with autoindent on, control
    // bytes as themselves, a NUL left out; line ends of every kind split.
    const struct {
        std::vector<std::string> outline;
        int index, into;
        std::string paste, state;
    } pastes[] = {
        // clang-format off
        {{"    x"}, 0, 5, "\n  a\n    b\n", "    x,  a,    b,, @3:0 r9 *"},
        {{"head tail"}, 0, 5, "1\r\n2\r3", "head 1,2,3tail, @2:1 r8 *"},
        {{"ab"}, 0, 1, std::string("\t\x01\x1b\0z", 5), "a\t\x01\x1bzb, @0:5 r6 *"},
        {{a(498)}, 0, 498, "\xc3\xa9\xe4\xb8\xad\nq", a(498) + "\xc3\xa9, @0:500 r6 * !line too long"},
        {{"[  f"}, 0, 1, " x", "[f 3 c:], @0:2 r6 *" + indentation},
        // clang-format on
    };
    for (const auto &p : pastes) {
        SCOPED_TRACE(testing::PrintToString(p.paste));
        build(p.outline, p.index, p.into);
        int ok = paste_text(p.paste);
        EXPECT_EQ(state() + (ok ? "" : std::string(" !") + last_error()), p.state);
        EXPECT_TRUE(cur_buffer->flags & FLAG_AUTOINDENT) << "autoindent back on";
    }
    build({"abcdef"}, 0, 0);
    exec_commands("setup_insert");
    EXPECT_EQ(paste_text("XY\nZ"), 1);
    EXPECT_EQ(state(), "XY,Zdef, @1:1 r7 *") << "typed over in overtype mode";
}

using LineCommands = CommandsTest;

const std::vector<std::string> abc = {"a", "[f", "x", "]", "b"};
const std::string abc_pic = "a,[f 0 c:x,],b, ";
const std::vector<std::string> col5 = {"abcdefgh", "ab", "[fold", "]", "abcdefgh"};
const std::string col5_pic = "abcdefgh,ab,[fold 0 c:],abcdefgh, ";
const std::vector<std::string> nested = {"a", "[f", "[g", "b", "]", "]", "c"};

// A line not shown on the screen (nothing was drawn here) takes the row
// limit it was moved towards: 4 or 22.
TEST_F(LineCommands, OneCommandFromAGivenPlace) {
    run_cases({
        // clang-format off
        // New lines go before the current one, the cursor at their end.
        {abc, 3, 0, R"(line_insert "z")", "a,[f 0 c:x,],b,z, @3:1 r6 *"},
        {abc, 0, 0, R"(line_insert... "sub" yes 2)", "[sub 2 o:]," + abc_pic + "@0:9 r6 *"},
        {abc, 0, 0, R"(line_insert::: "my' f" no 6)", "<my' f 6 c>," + abc_pic + "@0:15 r6 *"},
        // Deleting pushes the line itself, yanking a whole copy.
        {abc, 1, 5, "line_delete", "a,b, @1:0 r6 * L"},
        // Vertical moves nearest the remembered column, none past the ends.
        {col5, 0, 5, "line_down line_down line_down", col5_pic + "@3:5 r22"},
        {col5, 0, 5, "line_end line_down line_down line_up", col5_pic + "@1:2 r4"},
        // Going to a line by its number from 1, into and out of closed folds.
        {nested, 2, 1, "line_goto 4", "b, @0:0 r4"}, // backwards
        {nested, 0, 1, "line_goto 0", "a,[f 0 c:[g 0 c:b,],],c, @3:0 r22"},
        // Splitting, with autoindent (the language's default) and without.
        {{"    abc"}, 0, 6, "line_split", "    ab,    c, @1:4 r7 *"},
        {{"    abc"}, 0, 6, "setup_autoindent line_split", "    ab,c, @1:0 r7 *"},
        {{"[+part one", "x", "]"}, 0, 8, "line_split", "[part 0 o:x,], one, @1:0 r7 *"},
        {{"<dir/a'b c"}, 0, 11, "line_split", "<dir/a'b 0 c>, c, @1:0 r7 *"},
        {{"[f"}, 0, 3, "line_split", "[f 0 c:], @0:3 r6"}, // in the indentation
        // Translating the current line's text or name.
        {abc, 1, 0, R"(line_trans "e-g" "xyz")", "a,[y 0 c:x,],b, @1:0 r6 *"},
        {abc, 3, 0, R"(line_trans "ab" "b")",
         abc_pic + "@3:0 r6 !translate strings not the same size"},
        // Running a line: an error ends only the line's own run, a runaway at
        // once.
        {{R"(line_delete line_down line_insert "after")", "b"}, 0, 0, "line_exec",
         "b,after, @1:5 r22 * L"},
        {{"line_down nonsense line_down", "b", "c"}, 0, 0, "line_exec line_down",
         "line_down nonsense line_down,b,c, @2:0 r22"},
        {{R"(line_exec line_insert "x")"}, 0, 0, "line_exec",
         R"(line_exec line_insert "x", @0:0 r6 !command failure)"},
        // clang-format on
    });
}

TEST_F(LineCommands, WhatRunsOutOfMemoryChangesNothing) {
    build({"a", "[f", "head tail", "]"});
    exec_commands("line_goto 3 line_yank");
    fold()->into = 5;
    const std::string before = state();
    // clang-format off
    for (auto [text, allocations] : {std::pair{"line_split", 3}, {"line_insert \"x\"", 2},
             {"line_yank", 2}, {"other_put", 2}, {"character_delete_eol", 1},
             {"character_insert 'y'", 1}}) {
        // clang-format on
        for (int fail = 1; fail <= allocations; fail++) {
            alloc_fail_after(fail);
            EXPECT_EQ(run(text), before + " !out of memory") << text << fail;
            alloc_fail_after(0);
            EXPECT_FALSE(line_is_changed(line()));
        }
    }
    alloc_fail_after(1);
    EXPECT_EQ(type_char('y'), 0);
    alloc_fail_after(0);
    EXPECT_EQ(state(), before);
}

// A screen of 10 rows: text rows 3 to 9, the cursor on rows 4 to 8, pages of
// 5 lines, and a list of 12 lines and its end line.
TEST_F(LineCommands, PagesAndScrolls) {
    y_size = 10;
    const struct {
        int index, row;
        const char *text, *cursor;
    } cases[] = {
        // clang-format off
        // A page away, under a still cursor row, nearest the remembered
        // column; less than a page away, to the end on the row it is shown on
        // (the first line is on row 3 when the cursor is on row 5).
        {0, 6, "page_down", "@5:1 r6"}, {8, 6, "page_down", "@12:0 r8"},
        {11, 6, "page_down", "@12:0 r7"}, {5, 6, "page_up", "@0:1 r6"},
        {4, 6, "page_up", "@0:0 r4"}, {1, 6, "page_up", "@0:0 r5"},
        // Scrolling moves the row, and on the limit row the line.
        {5, 6, "page_scroll_up", "@5:1 r5"}, {5, 4, "page_scroll_up", "@6:1 r4"},
        {5, 8, "page_scroll_down", "@4:1 r8"}, {12, 4, "page_scroll_up", "@12:1 r4"},
        // clang-format on
    };
    for (auto c : cases) {
        build({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}, c.index, 1);
        fold()->row = c.row;
        refresh();
        std::string s = run(c.text);
        EXPECT_EQ(s.substr(s.find(" @") + 1), c.cursor)
            << c.text << " from " << c.index << " on row " << c.row;
    }
    // A list shorter than a page has only its ends.
    build({"a", "b"}, 1);
    EXPECT_EQ(run("page_down"), "a,b, @2:0 r8");
    EXPECT_EQ(run("page_up"), "a,b, @0:0 r4");
}

// The expansion of a translate string, or "!" and the error it raises.
std::string expand(const std::string &text) {
    char out[LINE_BUF_SIZE];
    size_t n = 0;
    std::string error = error_of([&] { n = trans_parse(text.c_str(), out); });
    return error.empty() ? std::string(out, n) : "!" + error;
}

TEST(TranslateString, RangesEscapesAndTheirErrors) {
    const std::string range = "!bad - range in translate string";
    const struct {
        std::string text, expansion;
    } cases[] = {
        // clang-format off
        // A range's end starts the next one; the byte after a hyphen is
        // taken as it is; 255 bytes, then 1 and 244 more, make 500.
        {"a-c-e", "abcde"}, {"z-a-c", "zbc"}, {"\\-\\\\\\n", "-\\n"}, {"a-\\", "a"},
        {"~-\x81", "~\x7f\x80\x81"}, {"-a", range}, {"a-", range},
        {"\\\\\\", "!bad \\ escape in translate string"},
        {"\x01-\xff\x01-\xf5y", "!translate string expands too big"},
        // clang-format on
    };
    for (const auto &c : cases) EXPECT_EQ(expand(c.text), c.expansion) << c.text;
    EXPECT_EQ(expand("\x01-\xff\x01-\xf5").size(), 500u);
    char s[] = "banana \x80\xff";
    trans_apply(s, "aab\xff\x80", "xyz\x80\xff");
    EXPECT_STREQ(s, "zxnxnx \xff\x80") << "the first occurrence decides";
}

} // namespace
