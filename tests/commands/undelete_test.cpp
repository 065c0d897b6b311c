#include "editing_owner.h"

#include "commands/char_commands.h"
#include "text/alloc.h"
#include "text/tree_owner.h"

namespace {

using UndeleteStack = EditingTest;

TEST_F(UndeleteStack, PushesEachKindAndTheHundredAndFirstDropsTheOldestDeeply) {
    long before = alloc_live_blocks();
    undel_push_block(make_fold("", {"b1", "b2"}));
    undel_push_line(make_fold("inner", {"x", "y"}));
    undel_push_char_left('l');
    undel_push_char_right('r');
    undel_push_string("tail");
    ASSERT_EQ(undel_count(), 5);
    EXPECT_EQ(undel_top_kind(), UNDEL_STRING);
    EXPECT_STREQ(undel_entry(4).item.str, "tail");
    EXPECT_EQ(undel_entry(3).kind, UNDEL_CHAR_RIGHT);
    EXPECT_EQ(undel_entry(3).item.chr, unsigned{'r'});
    EXPECT_EQ(undel_entry(2).kind, UNDEL_CHAR_LEFT);
    EXPECT_EQ(undel_entry(1).kind, UNDEL_LINE);
    EXPECT_EQ(undel_entry(0).kind, UNDEL_BLOCK);

    long with_block = alloc_live_blocks();
    for (int i = 0; i < UNDEL_MAX - 5; i++) undel_push_char_left(static_cast<unsigned char>(i));
    EXPECT_EQ(undel_count(), UNDEL_MAX);
    EXPECT_EQ(alloc_live_blocks(), with_block);

    undel_push_char_right('!'); // the 101st
    EXPECT_EQ(undel_count(), UNDEL_MAX);
    EXPECT_EQ(undel_entry(0).kind, UNDEL_LINE) << "the block was the oldest";
    EXPECT_EQ(undel_entry(UNDEL_MAX - 1).item.chr, unsigned{'!'});
    EXPECT_LT(alloc_live_blocks(), with_block) << "the block and its lines were released";

    undel_release_all();
    EXPECT_EQ(undel_count(), 0);
    EXPECT_EQ(undel_top_kind(), -1);
    EXPECT_EQ(alloc_live_blocks(), before);
}

TEST_F(UndeleteStack, AStringThatCannotBeCopiedIsNotPushed) {
    undel_push_char_left('a');
    alloc_fail_after(1);
    EXPECT_EQ(error_of([] { undel_push_string("lost"); }), "out of memory");
    alloc_fail_after(0);
    EXPECT_EQ(undel_count(), 1);
    EXPECT_EQ(undel_top_kind(), UNDEL_CHAR_LEFT);
}

TEST_F(UndeleteStack, UnpackPutsTheHolderLinesBeforeTheCurrentLineInOrder) {
    add_lines({"a", "b", "c"});
    go(1);
    fold()->mark1 = 2;
    LinePtr holder(make_fold("", {"x", "y"}));
    append_line(line_fold(holder.get()), make_fold("f", {"in1", "in2"}));
    EXPECT_EQ(undel_unpack(holder.get(), fold()), 3);
    EXPECT_EQ(picture(), "a,x,y,[f 0 c:in1,in2,],b,c,");
    EXPECT_EQ(fold()->cur_index, 1);
    EXPECT_STREQ(line_text(line()), "x");
    EXPECT_EQ(fold()->mark1, 5) << "a mark after the insertion point follows its line";
    EXPECT_EQ(fold()->deep_count, 10);
    FOLD *h = line_fold(holder.get());
    EXPECT_TRUE(h->first == h->end && h->cur == h->end);
    EXPECT_EQ(check_fold_invariants(h), "");

    LinePtr empty(make_fold("", {}));
    EXPECT_EQ(undel_unpack(empty.get(), fold()), 0);
    EXPECT_EQ(picture(), "a,x,y,[f 0 c:in1,in2,],b,c,");
}

using Undelete = EditingTest;

TEST_F(Undelete, CharactersAndStringsComeBackAtTheCursor) {
    add_lines({"abcdef"});
    go(0, 2);
    ASSERT_EQ(run(cmd_c_delete_left), 1);  // b
    ASSERT_EQ(run(cmd_c_delete_right), 1); // c
    fold()->into = 3;
    ASSERT_EQ(run(cmd_c_delete_eol), 1); // f
    EXPECT_EQ(text(), "ade");
    go(0, 1);
    unchanged();
    EXPECT_EQ(run(cmd_put), 1);
    EXPECT_EQ(text(), "afde");
    EXPECT_EQ(into(), 1) << "the cursor stays before a string";
    EXPECT_TRUE(changed());
    EXPECT_EQ(undel_count(), 3);
    EXPECT_EQ(run(cmd_undelete), 1);
    EXPECT_EQ(text(), "affde");
    EXPECT_EQ(run(cmd_undelete), 1);
    EXPECT_EQ(text(), "acffde");
    EXPECT_EQ(into(), 1) << "a byte deleted at the cursor comes back under it";
    EXPECT_EQ(run(cmd_undelete), 1);
    EXPECT_EQ(text(), "abcffde");
    EXPECT_EQ(into(), 2) << "a byte deleted left of the cursor comes back before it";

    EXPECT_EQ(run(cmd_undelete), 0);
    EXPECT_STREQ(last_error(), "undeleted stack empty");
    EXPECT_EQ(run(cmd_put), 0);
    EXPECT_STREQ(last_error(), "undeleted stack empty");
}

TEST_F(Undelete, ACharacterThatCannotGoBackStaysOnTheStack) {
    append_line(fold(), make_fold("f", {}, 2));
    go(0, 1);
    undel_push_char_right('x');
    EXPECT_EQ(run(cmd_undelete), 0);
    EXPECT_STREQ(last_error(), "can't type on fold indentation");
    EXPECT_EQ(undel_count(), 1);
    fold()->into = 6;
    EXPECT_EQ(run(cmd_undelete), 1);
    EXPECT_STREQ(line_fold(line())->name, "xf");
    EXPECT_EQ(undel_count(), 0);
}

TEST_F(Undelete, LinesAndBlocksGoInBeforeTheCurrentLine) {
    add_lines({"a", "b", "c"});
    go(2, 1);
    undel_push_line(make_fold("f", {"in"}));
    unchanged();
    ASSERT_EQ(run(cmd_undelete), 1);
    EXPECT_EQ(picture(), "a,b,[f 0 c:in,],c,");
    EXPECT_EQ(fold()->cur_index, 2);
    EXPECT_EQ(into(), 0);
    EXPECT_TRUE(changed());
    EXPECT_EQ(undel_count(), 0);

    undel_push_block(make_fold("", {"x", "y"}));
    go(1);
    fold()->mark1 = 0;
    fold()->mark2 = 4;
    ASSERT_EQ(run(cmd_undelete), 1);
    EXPECT_EQ(picture(), "a,x,y,b,[f 0 c:in,],c,");
    EXPECT_EQ(fold()->cur_index, 1);
    EXPECT_EQ(fold()->mark1, 1) << "exactly the restored lines are marked";
    EXPECT_EQ(fold()->mark2, 3);
}

TEST_F(Undelete, PutCopiesAndLeavesTheEntry) {
    add_lines({"a", "b"});
    go(1);
    undel_push_line(line_create_text("copy"));
    for (int i = 0; i < 3; i++) ASSERT_EQ(run(cmd_put), 1);
    EXPECT_EQ(picture(), "a,copy,copy,copy,b,");
    EXPECT_EQ(undel_count(), 1);
    EXPECT_EQ(undel_top_kind(), UNDEL_LINE);

    undel_push_block(make_fold("", {"x", "y"}));
    go(0);
    ASSERT_EQ(run(cmd_put), 1);
    ASSERT_EQ(run(cmd_put), 1);
    EXPECT_EQ(picture(), "x,y,x,y,a,copy,copy,copy,b,");
    EXPECT_EQ(fold()->mark1, 0);
    EXPECT_EQ(fold()->mark2, 2);
    EXPECT_EQ(undel_count(), 2);
    EXPECT_EQ(check_fold_invariants(line_fold(undel_entry(1).item.line)), "");

    alloc_fail_after(1);
    EXPECT_EQ(run(cmd_put), 0);
    alloc_fail_after(0);
    EXPECT_STREQ(last_error(), "out of memory");
    EXPECT_EQ(picture(), "x,y,x,y,a,copy,copy,copy,b,");

    cmd_sqeeze();
    EXPECT_EQ(undel_count(), 0);
}

TEST_F(Undelete, AHundredEntriesComeBackAndTheOldestIsLost) {
    add_lines({""});
    for (int i = 0; i <= UNDEL_MAX; i++)
        undel_push_char_left(static_cast<unsigned char>('0' + i % 10));
    for (int i = 0; i < UNDEL_MAX; i++) ASSERT_EQ(run(cmd_undelete), 1);
    EXPECT_EQ(run(cmd_undelete), 0);
    EXPECT_STREQ(last_error(), "undeleted stack empty");
    EXPECT_EQ(text().size(), size_t{UNDEL_MAX});
    EXPECT_EQ(text().substr(UNDEL_MAX - 3), "321") << "the first push, 0, was dropped";
}

} // namespace
