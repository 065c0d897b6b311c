#include "editing_owner.h"

#include "commands/char_commands.h"
#include "commands/executor.h"
#include "display/terminal.h"

#include <string>

namespace {

using CharCommands = EditingTest;

TEST_F(CharCommands, DeletingOneCharacterPushesIt) {
    add_lines({"abcd"});
    go(0, 2);
    unchanged();
    EXPECT_EQ(run(cmd_c_delete_left), 1);
    EXPECT_EQ(text(), "acd");
    EXPECT_EQ(into(), 1);
    EXPECT_TRUE(changed());
    EXPECT_EQ(run(cmd_c_delete_right), 1);
    EXPECT_EQ(text(), "ad");
    EXPECT_EQ(into(), 1);
    ASSERT_EQ(undel_count(), 2);
    EXPECT_EQ(undel_entry(0).kind, UNDEL_CHAR_LEFT);
    EXPECT_EQ(undel_entry(0).item.chr, unsigned{'b'});
    EXPECT_EQ(undel_entry(1).kind, UNDEL_CHAR_RIGHT);
    EXPECT_EQ(undel_entry(1).item.chr, unsigned{'c'});

    EXPECT_EQ(run(cmd_c_delete_eol), 1);
    EXPECT_EQ(text(), "a");
    EXPECT_EQ(undel_top_kind(), UNDEL_STRING);
    EXPECT_STREQ(undel_entry(2).item.str, "d");
}

TEST_F(CharCommands, DeletingAroundAFoldNameMovesTheFoldLine) {
    append_line(fold(), make_fold("name", {}, 2));
    FOLD *f = line_fold(line());
    go(0, 6); // the start of the name
    EXPECT_EQ(run(cmd_c_delete_left), 1);
    EXPECT_EQ(f->indent, 1);
    EXPECT_EQ(into(), 5) << "still at the start of the name";
    fold()->into = 2;
    EXPECT_EQ(run(cmd_c_delete_right), 1);
    EXPECT_EQ(f->indent, 0);
    EXPECT_EQ(into(), 2);
    EXPECT_EQ(run(cmd_c_delete_right), 1);
    EXPECT_EQ(run(cmd_c_delete_left), 1);
    EXPECT_EQ(run(cmd_c_delete_eol), 1);
    EXPECT_EQ(f->indent, 0) << "no indent left to take";
    EXPECT_EQ(into(), 2);
    fold()->into = 0;
    EXPECT_EQ(run(cmd_c_delete_left), 1);
    EXPECT_STREQ(f->name, "name");
    EXPECT_EQ(undel_count(), 0);
}

TEST_F(CharCommands, DeleteLeftJoinsATextLineToThePreviousLine) {
    add_lines({"ab", "cd", "ef"});
    go(1, 0);
    fold()->mark1 = 1;
    fold()->mark2 = 2;
    fold()->row = 10;
    ASSERT_EQ(run(cmd_c_delete_left), 1);
    EXPECT_EQ(picture(), "ab"
                         "cd,ef,");
    EXPECT_EQ(fold()->cur_index, 0);
    EXPECT_EQ(into(), 2);
    EXPECT_EQ(fold()->row, 9);
    EXPECT_EQ(fold()->mark1, 0);
    EXPECT_EQ(fold()->mark2, 1) << "the block is the joined line";
    EXPECT_TRUE(changed());

    go(0, 0);
    fold()->row = CURSOR_ROW_TOP;
    EXPECT_EQ(run(cmd_c_delete_left), 1);
    EXPECT_EQ(picture(), "abcd,ef,") << "the first line has nothing before it";

    // A closed fold line before takes the text into its name.
    line_insert(make_fold("f", {"in1", "in2"}), fold());
    go(1, 0);
    ASSERT_EQ(run(cmd_c_delete_left), 1);
    EXPECT_EQ(picture(), "[fabcd 0 c:in1,in2,],ef,");
    EXPECT_EQ(fold()->cur_index, 0);
    EXPECT_EQ(into(), 4 + 1);
    EXPECT_EQ(fold()->row, CURSOR_ROW_TOP);

    fold()->into = 0;
    EXPECT_EQ(run(cmd_c_delete_left), 1) << "a fold line is not joined";
    go(1, 0);
    std::string long_text(LINE_MAX_TEXT - 2, 'x');
    EXPECT_EQ(run(cmd_cs_insert, long_text.c_str()), 1);
    fold()->into = 0;
    EXPECT_EQ(run(cmd_c_delete_left), 0);
    EXPECT_STREQ(last_error(), "line too long");
    EXPECT_EQ(fold()->line_count, 3);
}

TEST_F(CharCommands, DeleteRightJoinsOnlyATextLine) {
    add_lines({"ab", "cd"});
    append_line(fold(), make_fold("f", {"in"}));
    add_lines({"ef"});
    go(0, 2);
    fold()->mark1 = 1;
    fold()->mark2 = 3;
    ASSERT_EQ(run(cmd_c_delete_right), 1);
    EXPECT_EQ(picture(), "abcd,[f 0 c:in,],ef,");
    EXPECT_EQ(fold()->cur_index, 0);
    EXPECT_EQ(into(), 2);
    EXPECT_EQ(fold()->mark1, 0);
    EXPECT_EQ(fold()->mark2, 2);

    fold()->into = 4;
    EXPECT_EQ(run(cmd_c_delete_right), 1);
    EXPECT_EQ(picture(), "abcd,[f 0 c:in,],ef,") << "a fold line after stays";

    go(1, 5);
    ASSERT_EQ(run(cmd_c_delete_right), 1);
    EXPECT_EQ(picture(), "abcd,[fef 0 c:in,],") << "a fold line takes a text line after it";
    EXPECT_EQ(cur_buffer->line_no, 1);
    fold()->into = 7;
    EXPECT_EQ(run(cmd_c_delete_right), 1) << "the end line is not joined";
}

TEST_F(CharCommands, CharacterMovesCrossLineEnds) {
    add_lines({"ab", "c"});
    go(1, 0);
    fold()->row = 10;
    cmd_c_left();
    EXPECT_EQ(fold()->cur_index, 0);
    EXPECT_EQ(into(), 2);
    EXPECT_EQ(fold()->col, -1) << "at the end of the line as line_end leaves it";
    EXPECT_EQ(fold()->row, 9);
    cmd_c_right();
    EXPECT_EQ(fold()->cur_index, 1);
    EXPECT_EQ(into(), 0);
    EXPECT_EQ(fold()->row, 10);

    cursor_moved = 1;
    go(0, 0);
    fold()->row = CURSOR_ROW_TOP;
    cmd_c_left();
    EXPECT_EQ(cursor_moved, 0);
    EXPECT_EQ(fold()->row, CURSOR_ROW_TOP);
    cursor_moved = 1;
    go(2, 0);
    fold()->row = y_size - 2;
    cmd_c_left();
    cmd_c_right();
    cmd_c_right();
    EXPECT_EQ(fold()->row, y_size - 2);
    EXPECT_EQ(cursor_moved, 0) << "no move past the end line";
    EXPECT_EQ(picture(), "ab,c,");
}

TEST_F(CharCommands, CommandTextsReachTheHandlers) {
    add_lines({"hello"});
    EXPECT_EQ(exec_commands(R"(string_insert "ab" character_insert 'x' character_left)"
                            R"( character_delete_right other_put word_right)"),
              1);
    EXPECT_EQ(text(), "abxhello");
    EXPECT_EQ(into(), 8);
    EXPECT_EQ(exec_commands("other_squeeze other_undelete"), 0);
    EXPECT_STREQ(last_error(), "undeleted stack empty");
}

} // namespace
