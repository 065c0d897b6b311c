#include "editing_owner.h"

#include "commands/executor.h"
#include "commands/typing.h"
#include "text/alloc.h"

namespace {

using Undelete = EditingTest;

TEST_F(Undelete, TheHundredAndFirstPushDropsTheOldestDeeply) {
    load({""});
    long before = alloc_live_blocks();
    undel_push_block(make_fold("", {"b1", "b2"}));
    long with_block = alloc_live_blocks();
    for (int i = 1; i < UNDEL_MAX; i++)
        undel_push_char_left(static_cast<unsigned char>('0' + i % 10));
    EXPECT_EQ(alloc_live_blocks(), with_block);
    undel_push_char_left('0');
    EXPECT_EQ(undel_count(), UNDEL_MAX);
    EXPECT_EQ(alloc_live_blocks(), before) << "the block and its lines were released";

    for (int i = 0; i < UNDEL_MAX; i++) ASSERT_EQ(exec_commands("other_undelete"), 1);
    EXPECT_EQ(exec_commands("other_undelete"), 0);
    EXPECT_STREQ(last_error(), "undeleted stack empty");
    EXPECT_EQ(text().substr(0, 4), "0987") << "the newest first";
    EXPECT_EQ(text().size(), size_t{UNDEL_MAX});
}

TEST_F(Undelete, LinesAndBlocksComeBackBeforeTheCurrentLine) {
    load({"a", "b", "c"}, 2, 1);
    undel_push_line(make_fold("f", {"in"}));
    undel_push_block(make_fold("", {"x", "y"}));
    fold()->mark1 = 0;
    fold()->mark2 = 3;
    ASSERT_EQ(exec_commands("other_undelete"), 1);
    EXPECT_EQ(state(), "a,b,x,y,c, @2:0 L");
    EXPECT_EQ(fold()->mark1, 2) << "exactly the restored lines are marked";
    EXPECT_EQ(fold()->mark2, 4);
    EXPECT_EQ(cur_buffer->changed, 1);
    ASSERT_EQ(exec_commands("other_undelete"), 1);
    EXPECT_EQ(state(), "a,b,[f 0 c:in,],x,y,c, @2:0");
}

TEST_F(Undelete, PutCopiesAndLeavesTheEntry) {
    load({"a", "b"}, 1);
    undel_push_line(line_create_text("copy"));
    ASSERT_EQ(exec_commands("other_put other_put other_put"), 1);
    EXPECT_EQ(state(), "a,copy,copy,copy,b, @1:0 L");

    undel_push_block(make_fold("", {"x", "y"}));
    ASSERT_EQ(exec_commands("other_put other_put"), 1);
    EXPECT_EQ(state(), "a,x,y,x,y,copy,copy,copy,b, @1:0 LB");
    EXPECT_EQ(fold()->mark1, 1);
    EXPECT_EQ(fold()->mark2, 3);

    alloc_fail_after(1);
    EXPECT_EQ(exec_commands("other_put"), 0);
    alloc_fail_after(0);
    EXPECT_STREQ(last_error(), "out of memory");
    EXPECT_EQ(state(), "a,x,y,x,y,copy,copy,copy,b, @1:0 LB");
}

TEST_F(Undelete, JoiningLinesKeepsMarksAndTheCursorRow) {
    load({"ab", "cd", "ef"}, 1);
    fold()->mark1 = 1;
    fold()->mark2 = 2;
    fold()->row = 10;
    ASSERT_EQ(exec_commands("character_delete_left"), 1);
    EXPECT_EQ(state(), "abcd,ef, @0:2");
    EXPECT_EQ(fold()->mark1, 0) << "the block is the joined line";
    EXPECT_EQ(fold()->mark2, 1);
    EXPECT_EQ(fold()->row, 9);
    EXPECT_TRUE(line_is_changed(line()));

    fold()->into = 4;
    fold()->mark1 = 1;
    fold()->mark2 = 2;
    ASSERT_EQ(exec_commands("character_delete_right"), 1);
    EXPECT_EQ(state(), "abcdef, @0:4");
    EXPECT_EQ(fold()->mark1, 0);
    EXPECT_EQ(fold()->mark2, 1);
    EXPECT_EQ(fold()->row, 9);

    load({"ab", "c"}, 1, 0);
    fold()->row = CURSOR_ROW_TOP;
    ASSERT_EQ(exec_commands("character_left"), 1);
    EXPECT_EQ(fold()->row, CURSOR_ROW_TOP);
    EXPECT_EQ(fold()->col, -1) << "at the end of the line as line_end leaves it";
    fold()->row = cursor_row_bottom();
    ASSERT_EQ(exec_commands("character_right character_right"), 1);
    EXPECT_EQ(fold()->row, cursor_row_bottom());
}

TEST_F(Undelete, WhatCannotBeStoredChangesNothing) {
    load({"abc"}, 0, 1);
    EXPECT_EQ(type_char('x'), 1);
    EXPECT_EQ(type_char(0x101), 1);
    cur_buffer->changed = 0;
    line_clear_changed(line());
    alloc_fail_after(1);
    EXPECT_EQ(type_char('y'), 0);
    alloc_fail_after(1);
    EXPECT_EQ(exec_commands("character_delete_eol"), 0);
    alloc_fail_after(0);
    EXPECT_STREQ(last_error(), "out of memory");
    EXPECT_EQ(state(), "axbc, @0:2");
    EXPECT_FALSE(line_is_changed(line()) || cur_buffer->changed);
}

} // namespace
