#include "editing_owner.h"

#include "commands/char_commands.h"
#include "commands/typing.h"
#include "text/alloc.h"
#include "text/flags.h"

#include <string>

namespace {

using Typing = EditingTest;

TEST_F(Typing, InsertAndOvertypeByTheModeFlag) {
    add_lines({"abc"});
    go(0, 1);
    cur_buffer->flags = FLAG_INSERT;
    unchanged();
    EXPECT_EQ(type_char('x'), 1);
    EXPECT_EQ(text(), "axbc");
    EXPECT_EQ(into(), 2);
    EXPECT_EQ(fold()->col, 2);
    EXPECT_TRUE(changed());

    cur_buffer->flags = 0;
    EXPECT_EQ(type_char('y'), 1);
    EXPECT_EQ(text(), "axyc");
    EXPECT_EQ(run(cmd_cs_type, "zw"), 1);
    EXPECT_EQ(text(), "axyzw") << "overtyping at the end appends";
    EXPECT_EQ(into(), 5);

    EXPECT_EQ(type_char(0), 1);
    EXPECT_EQ(type_char(0x101), 1);
    EXPECT_EQ(run(cmd_c_insert, '\0'), 1);
    EXPECT_EQ(run(cmd_c_overtype, '\0'), 1);
    EXPECT_EQ(text(), "axyzw");
    EXPECT_EQ(run(cmd_c_insert, 'I'), 1);
    EXPECT_EQ(run(cmd_c_overtype, 'O'), 1);
    EXPECT_EQ(text(), "axyzwIO");
}

TEST_F(Typing, AFullLineTakesOvertypingInsideOnly) {
    std::string full(LINE_MAX_TEXT, 'a');
    add_lines({full.c_str()});
    go(0, 10);
    unchanged();
    EXPECT_EQ(run(cmd_c_insert, 'x'), 0);
    EXPECT_STREQ(last_error(), "line too long");
    EXPECT_EQ(text(), full);
    EXPECT_EQ(into(), 10);
    EXPECT_FALSE(line_is_changed(line()) || cur_buffer->changed);

    EXPECT_EQ(run(cmd_c_overtype, 'x'), 1);
    EXPECT_EQ(text()[10], 'x');
    fold()->into = LINE_MAX_TEXT;
    EXPECT_EQ(run(cmd_c_overtype, 'x'), 0);
    EXPECT_STREQ(last_error(), "line too long");
    EXPECT_EQ(text().size(), size_t{LINE_MAX_TEXT});

    EXPECT_EQ(run(cmd_c_delete_left), 1);
    EXPECT_EQ(run(cmd_cs_insert, "xyz"), 0) << "a string stops where the line is full";
    EXPECT_EQ(text().substr(LINE_MAX_TEXT - 2), "ax");
}

TEST_F(Typing, OnTheEndLineANewLineIsMade) {
    add_lines({"first"});
    go(1, 0);
    cur_buffer->flags = 0;
    EXPECT_EQ(type_char('x'), 1);
    EXPECT_EQ(picture(), "first,x,");
    EXPECT_EQ(fold()->cur_index, 1);
    EXPECT_EQ(into(), 1);
    EXPECT_EQ(cur_buffer->changed, 1);

    go(2, 0);
    EXPECT_EQ(run(cmd_cs_insert, ""), 1);
    EXPECT_EQ(run(cmd_c_type, '\0'), 1);
    EXPECT_EQ(picture(), "first,x,") << "nothing typed, nothing made";
    for (command_handler h : {cmd_c_delete_left, cmd_c_delete_right, cmd_c_delete_eol}) {
        EXPECT_EQ(run(h), 0);
        EXPECT_STREQ(last_error(), "expected text, fold or virtual fold line");
    }
}

TEST_F(Typing, OnlySpacesGoIntoAFoldLinesIndentation) {
    append_line(fold(), make_fold("f", {"in"}, 2));
    append_line(fold(), line_create_virt("v", 1, 0));
    for (int index : {0, 1}) {
        go(index, 1);
        int base = indent_of(line());
        unchanged();
        EXPECT_EQ(run(cmd_c_insert, ' '), 1);
        EXPECT_EQ(indent_of(line()), base + 1) << "the fold line moves right";
        EXPECT_EQ(into(), 2);
        EXPECT_TRUE(changed());
        for (command_handler h : {cmd_c_insert, cmd_c_overtype}) {
            EXPECT_EQ(run(h, 'x'), 0);
            EXPECT_STREQ(last_error(), "can't type on fold indentation");
        }
        EXPECT_EQ(run(cmd_c_overtype, ' '), 1);
        EXPECT_EQ(indent_of(line()), base + 1);
        EXPECT_EQ(into(), 3);
        fold()->into = indent_of(line());
        EXPECT_EQ(run(cmd_c_insert, 'x'), 1);
    }
    EXPECT_EQ(picture(), "[xf 3 c:in,],<xv 2 c>,");
}

TEST_F(Typing, TabsBySizeAndMode) {
    const std::string too_long = "line too long";
    auto a = [](int n) { return std::string(n, 'a'); };
    const struct {
        unsigned flags;
        std::string text;
        int into;
        std::string result; // the line after, or the error
        int into_after;
    } cases[] = {
        {FLAG_INSERT | 4, "abcdefgh", 6, "abcdef  gh", 8},
        {FLAG_INSERT | 4, "\tab", 2, "\ta   b", 5}, // the cursor at screen column 9
        {FLAG_INSERT | 0, "ab", 1, "a\tb", 2},
        {4, "abcdefgh", 6, "abcdef  h", 8},
        {4, "abcdef", 6, "abcdef  ", 8},
        {0, "ab", 0, "\tb", 1},
        {0, "ab", 2, "ab\t", 3},
        {FLAG_INSERT | 4, a(499), 0, too_long, 0},
        {FLAG_INSERT | 4, a(499), 3, a(3) + " " + a(496), 4},
        {4, a(499), 0, too_long, 0}, // four spaces for one byte
        {1, a(499), 0, " " + a(498), 1},
        {4, a(499), 499, a(499) + " ", 500},
        {0, a(499), 499, a(499) + "\t", 500},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 10) + " at " + std::to_string(c.into));
        add_lines({c.text.c_str()});
        go(fold()->line_count - 2, c.into);
        cur_buffer->flags = c.flags;
        if (c.result == too_long) {
            EXPECT_EQ(run(cmd_c_tab), 0);
            EXPECT_EQ(last_error(), too_long);
            EXPECT_EQ(text(), c.text);
        } else {
            EXPECT_EQ(run(cmd_c_tab), 1);
            EXPECT_EQ(text(), c.result);
        }
        EXPECT_EQ(into(), c.into_after);
    }
}

TEST_F(Typing, TabsInAFoldLinesIndentation) {
    append_line(fold(), make_fold("f", {}, 1));
    const struct {
        unsigned flags;
        int indent_after, into_after;
    } cases[] = {
        {FLAG_INSERT | 4, 4, 4}, // to the stop at 4: three more columns
        {FLAG_INSERT | 0, 8, 8}, // real tabs: stops every 8
        {4, 1, 2},               // overtype: one place right
    };
    for (const auto &c : cases) {
        line_fold(line())->indent = 1;
        fold()->into = 1;
        cur_buffer->flags = c.flags;
        EXPECT_EQ(run(cmd_c_tab), 1);
        EXPECT_EQ(line_fold(line())->indent, c.indent_after);
        EXPECT_EQ(into(), c.into_after);
    }
}

TEST_F(Typing, AStepThatCannotStoreTheTextChangesNothing) {
    add_lines({"abc"});
    go(0, 1);
    unchanged();
    alloc_fail_after(1);
    EXPECT_EQ(type_char('x'), 0);
    alloc_fail_after(0);
    EXPECT_STREQ(last_error(), "out of memory");
    EXPECT_EQ(text(), "abc");
    EXPECT_EQ(into(), 1);
    EXPECT_FALSE(line_is_changed(line()) || cur_buffer->changed);
}

} // namespace
