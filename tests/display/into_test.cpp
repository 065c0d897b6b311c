// Into values: the screen columns of cursor positions in lines.
#include "display/char_names.h"
#include "display/into.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/buffer.h"
#include "text/tables_owner.h"
#include "text/tree_owner.h"

namespace {

class IntoValues : public ::testing::Test {
  protected:
    void SetUp() override { set_white_space_vis(0); }
    void TearDown() override { set_white_space_vis(0); }
};

TEST_F(IntoValues, ColumnsOfIntoValues) {
    const char *text = "a\tb";
    // Text line: base 0.
    EXPECT_EQ(col_nth_char(text, 0, 0), 0);
    EXPECT_EQ(col_nth_char(text, 0, 1), 1);
    EXPECT_EQ(col_nth_char(text, 0, 2), 8);
    EXPECT_EQ(col_nth_char(text, 0, 3), 9);
    EXPECT_EQ(col_nth_char(text, 0, 40), 9) << "past the end: just after the text";
    // Fold line at indent 3: base 7; below it the into value is the column.
    EXPECT_EQ(col_nth_char(text, 7, 2), 2);
    EXPECT_EQ(col_nth_char(text, 7, 8), 8);
    EXPECT_EQ(col_nth_char(text, 7, 9), 16) << "tab at column 8 takes 8 cells";
    EXPECT_EQ(col_nth_char(text, 7, 10), 17);
    EXPECT_EQ(col_nth_char("", 4, 9), 4);
}

TEST_F(IntoValues, IntoValuesNearColumns) {
    const char *text = "a\tb";
    EXPECT_EQ(into_near_col(text, 0, 0), 0);
    EXPECT_EQ(into_near_col(text, 0, 1), 1);
    EXPECT_EQ(into_near_col(text, 0, 5), 1) << "inside the tab: on the tab";
    EXPECT_EQ(into_near_col(text, 0, 8), 2);
    EXPECT_EQ(into_near_col(text, 0, 100), 3);
    EXPECT_EQ(into_near_col(text, 0, -1), 3) << "-1 is the end of the line";
    EXPECT_EQ(into_near_col(text, 7, 3), 3) << "in a fold's indentation";
    EXPECT_EQ(into_near_col(text, 7, 8), 8);
    set_white_space_vis(1);
    EXPECT_EQ(into_near_col("\x01z", 0, 1), 0) << "^A takes two cells when visible";
    EXPECT_EQ(into_near_col("\x01z", 0, 2), 1);
}

TEST_F(IntoValues, IntoValuesAndColumnsRoundTrip) {
    std::mt19937 rng(5);
    const char alphabet[] = "ab \t\x01\x7f\xc8";
    for (int round = 0; round < 300; round++) {
        set_white_space_vis(round % 2);
        std::string text;
        for (int n = rng() % 30; n > 0; n--) text += alphabet[rng() % (sizeof alphabet - 1)];
        int base = static_cast<int>(rng() % 12);
        for (int into = 0; into <= base + static_cast<int>(text.size()); into++) {
            int col = col_nth_char(text.c_str(), base, into);
            ASSERT_EQ(into_near_col(text.c_str(), base, col), into)
                << "base " << base << " into " << into;
            ASSERT_LE(col_nth_char(text.c_str(), base, into + 1) - col, 8);
        }
    }
}

class LineForms : public TablesTest {};

TEST_F(LineForms, BaseColumnsAndStringsOfEachKind) {
    LinePtr text(line_create_text("abc"));
    LinePtr fold(line_create_fold("name", 3, 1));
    LinePtr virt(line_create_virt("\"f.top\"", 6, 0));
    FoldPtr holder(fold_create("", 0, 0));
    EXPECT_EQ(indent_of(text.get()), 0);
    EXPECT_EQ(indent_of(fold.get()), 7);
    EXPECT_EQ(indent_of(virt.get()), 10);
    EXPECT_EQ(indent_of(holder->end), 0);
    EXPECT_STREQ(string_of(text.get()), "abc");
    EXPECT_STREQ(string_of(fold.get()), "name");
    EXPECT_STREQ(string_of(virt.get()), "\"f.top\"");
    EXPECT_STREQ(string_of(holder->end), "");
    // An indent no screen can show is held, so into values cannot overflow.
    line_fold(fold.get())->indent = 2147483647;
    EXPECT_EQ(indent_of(fold.get()), (1 << 24) + 4);
}

TEST_F(LineForms, TheCurrentLineOfTheCurrentBuffer) {
    set_white_space_vis(0);
    BUFF *b = buff_create("", -1, make_top());
    ASSERT_NE(b, nullptr);
    cur_buffer = b;
    line_insert(line_create_fold("ab\tc", 2, 0), b->fold);
    b->fold->into = 8; // on the tab, which runs from column 8 to 16
    EXPECT_EQ(cur_csr_col(), 8);
    EXPECT_EQ(max_into_value(), 6 + 4);
    EXPECT_EQ(new_into_value(12), 8);
    EXPECT_EQ(new_into_value(16), 9);
    EXPECT_EQ(new_into_value(17), 10);
    EXPECT_EQ(new_into_value(-1), 10);
    EXPECT_EQ(new_into_value(3), 3) << "into the indentation";
    b->fold->into = 2;
    EXPECT_EQ(cur_csr_col(), 2);
    line_step_next(b->fold);
    b->fold->into = 0;
    EXPECT_EQ(max_into_value(), 0) << "the end line";
    EXPECT_EQ(cur_csr_col(), 0);
}

} // namespace
