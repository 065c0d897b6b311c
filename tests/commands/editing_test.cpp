// Typing and the character, string and word commands, and the undelete stack.
#include "commands_fixture.h"

#include "commands/typing.h"
#include "text/alloc.h"

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
        {{a(500)}, 0, 10, "character_overtype 'x'", a(10) + "x" + a(489) + ", @0:11 r6 *"},
        {{a(500)}, 0, 500, "character_overtype 'x'", a(500) + ", @0:500 r6" + too_long},
        {{a(498)}, 0, 498, R"(string_insert "xyz")", a(498) + "xy, @0:500 r6 *" + too_long},
        // The end line becomes a line only when something is typed.
        {{"first"}, 1, 0, "setup_insert character_type 'x'", "first,x, @1:1 r6 *"},
        {{"first"}, 1, 0, R"(string_insert "" character_delete_left)",
         "first, @1:0 r6 !expected text, fold or virtual fold line"},
        // A fold line's indentation takes spaces only.
        {{"[  f"}, 0, 1, "character_insert ' '", "[f 3 c:], @0:2 r6 *"},
        {{"[  f"}, 0, 1, "character_overtype ' ' character_insert 'x'",
         "[f 2 c:], @0:2 r6" + indentation},
        {{"< v"}, 0, 5, "character_insert 'x'", "<xv 1 c>, @0:6 r6 *"},
        // Tabs by tab size and mode.
        {{"abcdefgh"}, 0, 6, "setup_tabs 4 character_tab", "abcdef  gh, @0:8 r6 *"},
        {{"\tab"}, 0, 2, "setup_tabs 4 character_tab", "\ta   b, @0:5 r6 *"}, // from column 9
        {{"ab"}, 0, 1, "character_tab", "a\tb, @0:2 r6 *"},
        {{a(499)}, 0, 0, "setup_tabs 4 character_tab", a(499) + ", @0:0 r6" + too_long},
        {{a(499)}, 0, 499, "setup_insert setup_tabs 4 character_tab", a(499) + " , @0:500 r6 *"},
        {{"[ f"}, 0, 1, "setup_tabs 4 character_tab", "[f 4 c:], @0:4 r6 *"},
        // Deleting characters, and a fold line's indentation.
        {{"abcd"}, 0, 2, "character_delete_left character_delete_right", "ad, @0:1 r6 * <>"},
        {{"abcd"}, 0, 1, "character_delete_eol", "a, @0:1 r6 * S"},
        {{"[  nm"}, 0, 6, "character_delete_left", "[nm 1 c:], @0:5 r6 *"},
        // Joining lines.
        {{"ab", "cd", "ef"}, 1, 0, "character_delete_left", "abcd,ef, @0:2 r5 *"},
        {{"ab", "cd"}, 0, 0, "character_delete_left", "ab,cd, @0:0 r6"},
        {{"[f", "]", "xy"}, 1, 0, "character_delete_left", "[fxy 0 c:], @0:5 r5 *"},
        {{"ab", "cd"}, 0, 2, "character_delete_right", "abcd, @0:2 r6 *"},
        {{"ab", "[f"}, 0, 2, "character_delete_right", "ab,[f 0 c:], @0:2 r6"},
        {{"[f", "]", "ef"}, 0, 5, "character_delete_right", "[fef 0 c:], @0:5 r6 *"},
        {{a(300), a(201)}, 1, 0, "character_delete_left",
         a(300) + "," + a(201) + ", @1:0 r6" + too_long},
        // Character and word moves across line ends.
        {{"ab", "c"}, 1, 0, "character_left", "ab,c, @0:2 r5"},
        {{"ab", "c"}, 0, 2, "character_right character_right character_right", "ab,c, @2:0 r8"},
        {words, 0, 3, "word_right", "ab,cd ef,  gh\t, @0:5 r6"},
        {words, 0, 8, "word_right", "ab,cd ef,  gh\t, @1:4 r7"},
        {words, 1, 2, "word_left", "ab,cd ef,  gh\t, @0:6 r5"},
        {{"x", "[  nm"}, 1, 2, "word_right word_left", "x,[nm 2 c:], @1:6 r6"},
        // Characters and strings back from the undelete stack.
        {{"abcdef"}, 0, 2, deletes + "other_put", "aefd, @0:1 r6 * <>S"},
        {{"abcdef"}, 0, 2, deletes + "other_undelete other_undelete other_undelete",
         "abcefd, @0:2 r6 *"},
        {{"ab"}, 0, 0, "other_squeeze other_put", "ab, @0:0 r6 !undeleted stack empty"},
        {{"x", "[  f"}, 0, 0, "character_delete_right character_right other_undelete",
         ",[f 2 c:], @1:0 r7 * >" + indentation},
        // clang-format on
    });
}

TEST_F(Editing, TheHundredAndFirstPushDropsTheOldestDeeply) {
    build({""});
    long before = alloc_live_blocks();
    LINE *block = line_create_fold("", 0, 0);
    line_insert(line_create_text("b1"), line_fold(block));
    undel_push_block(block);
    for (int i = 1; i < UNDEL_MAX; i++) undel_push_char_left('0' + i % 10);
    undel_push_char_left('0');
    EXPECT_EQ(undel_count(), UNDEL_MAX);
    EXPECT_EQ(alloc_live_blocks(), before) << "the block and its lines were released";
    for (int i = 0; i < UNDEL_MAX; i++) ASSERT_EQ(exec_commands("other_undelete"), 1);
    std::string newest_first = "0";
    for (int i = UNDEL_MAX - 1; i > 0; i--) newest_first += static_cast<char>('0' + i % 10);
    EXPECT_EQ(run("other_undelete"), newest_first + ", @0:100 r6 * !undeleted stack empty");
}

TEST_F(Editing, LinesAndBlocksComeBackBeforeTheCurrentLineMarked) {
    build({"a", "b"}, 1, 1);
    ASSERT_EQ(run("line_yank"), "a,b, @1:1 r6 L");
    LINE *block = line_create_fold("", 0, 0);
    line_insert(line_create_text("y"), line_fold(block));
    line_insert(line_create_text("x"), line_fold(block));
    undel_push_block(block);
    fold()->mark1 = 0;
    fold()->mark2 = 2;
    EXPECT_EQ(run("other_put other_put"), "a,x,y,x,y,b, @1:0 r6 * LB");
    EXPECT_EQ(fold()->mark1, 1) << "exactly the lines put last are marked";
    EXPECT_EQ(fold()->mark2, 3);
    alloc_fail_after(1);
    EXPECT_EQ(run("other_put"), "a,x,y,x,y,b, @1:0 r6 * LB !out of memory");
    alloc_fail_after(0);
    EXPECT_EQ(run("other_undelete other_undelete"), "a,b,x,y,x,y,x,y,b, @1:0 r6 *");
}

TEST_F(Editing, WhatCannotBeStoredChangesNothing) {
    build({"abc"}, 0, 1);
    EXPECT_EQ(type_char('x'), 1);
    EXPECT_EQ(type_char(0x101), 1);
    cur_buffer->changed = 0;
    line_clear_changed(line());
    alloc_fail_after(1);
    EXPECT_EQ(type_char('y'), 0);
    alloc_fail_after(1);
    EXPECT_EQ(run("character_delete_eol"), "axbc, @0:2 r6 !out of memory");
    alloc_fail_after(0);
    EXPECT_FALSE(line_is_changed(line()));
}

} // namespace
