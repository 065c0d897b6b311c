// Display forms of bytes, the image of a row scrolled sideways and into
// values, the screen columns of cursor positions in lines. (Rows of ox as a
// terminal shows them: tests/main and tests/commands.)
#include "display/char_names.h"
#include "display/draw_text.h"
#include "display/into.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/utf8_mode.h"
#include "text/tables_owner.h"

namespace {

TEST(IntoValues, ColumnsAndBack) {
    set_white_space_vis(0);
    const char *text = "a\tb";
    // {base, into, column}: a text line (base 0) and a fold line at indent 3.
    const int cases[][3] = {{0, 0, 0}, {0, 2, 8}, {0, 3, 9},  {0, 40, 9},
                            {7, 2, 2}, {7, 8, 8}, {7, 9, 16}, {7, 10, 17}};
    for (const auto &c : cases) EXPECT_EQ(col_nth_char(text, c[0], c[1]), c[2]) << c[1];
    // {base, column, into}: inside the tab is on the tab; -1 is the end.
    const int near[][3] = {{0, 5, 1}, {0, 8, 2}, {0, 100, 3}, {0, -1, 3}, {7, 3, 3}, {7, 15, 8}};
    for (const auto &c : near) EXPECT_EQ(into_near_col(text, c[0], c[1]), c[2]) << c[1];

    std::mt19937 rng(5);
    const char alphabet[] = "ab \t\x01\x7f\xc8";
    for (int round = 0; round < 300; round++) {
        set_white_space_vis(round % 2);
        std::string s;
        for (int n = rng() % 30; n > 0; n--) s += alphabet[rng() % (sizeof alphabet - 1)];
        int base = static_cast<int>(rng() % 12);
        for (int into = 0; into <= base + static_cast<int>(s.size()); into++)
            ASSERT_EQ(into_near_col(s.c_str(), base, col_nth_char(s.c_str(), base, into)), into);
    }
    set_white_space_vis(0);
}

class IntoOfAFoldLine : public TablesTest {};

TEST_F(IntoOfAFoldLine, AnIndentNoScreenCanShowIsHeld) {
    cur_buffer = buff_create("", -1, make_top());
    line_insert(line_create_fold("ab\tc", 2147483647, 0), cur_buffer->fold);
    EXPECT_EQ(max_into_value(), (1 << 24) + 8) << "so that into values cannot overflow";
}

// (That a name is as wide as its width says: the row images below.)
TEST(DisplayForms, NamesOfASignedCharAndOfATabLeftOfTheRow) {
    for (int vis : {0, 1}) {
        set_white_space_vis(vis);
        EXPECT_STREQ(char_name(-56, 0), vis ? "<c8>" : "?") << "a signed char holding 200";
        EXPECT_STREQ(char_name('\t', -3), vis ? "  >" : "   ") << "a tab left of the row";
    }
}

TEST(DisplayForms, RowImagesScrolledAndClipped) {
    const std::string tab_at_18 = std::string(18, 'x') + "\tyz";
    struct {
        const char *text;
        int start, width, h, plain, vis;
        const char *image;
    } const rows[] = {
        // clang-format off
        {"ab", -1, 10, 0, 0, 0, "b"},
        {tab_at_18.c_str(), 3, 10, 20, 0, 0, "x   yz"}, // a tab's cells right of 20
        {tab_at_18.c_str(), 3, 10, 20, 0, 1, "x  >yz"},
        {"ab\xc8", 0, 4, 0, 0, 1, "ab<c"},            // a name cut at the right
        {"ab\xc8", 0, 10, 4, 0, 1, "8>"},             // and at the left
        {"{{{ a b", 0, 10, 0, 4, 1, "{{{ a.b"},       // the marker is no text
        // clang-format on
    };
    for (const auto &r : rows) {
        set_white_space_vis(r.vis);
        std::string out;
        int cells = text_image(out, r.text, r.start, r.width, r.h, r.plain);
        EXPECT_EQ(cells, int(out.size()));
        EXPECT_EQ(out, r.image) << r.text << " from " << r.start << " scrolled " << r.h;
    }
    set_white_space_vis(0);
}

// é, a wide 中, e with a combining acute, an invalid byte, a C1 control.
const std::string mixed = "\xc3\xa9\xe4\xb8\xad"
                          "e\xcc\x81"
                          "\xc8"
                          "\xc2\x85";

TEST(DisplayForms, Utf8TextByCellsAndEveryOtherByteAsBefore) {
    struct {
        std::string text;
        int width, h, vis;
        std::string image;
        int cells;
    } const rows[] = {
        // clang-format off
        {mixed, 20, 0, 0, "\xc3\xa9\xe4\xb8\xad" "e\xcc\x81" "???", 7},
        {mixed, 20, 0, 1, "\xc3\xa9\xe4\xb8\xad" "e\xcc\x81" "<c8><c2><85>", 16},
        {mixed, 2, 0, 0, "\xc3\xa9 ", 2},            // a wide one cut at the right
        {mixed, 20, 2, 0, " e\xcc\x81???", 5},       // and at the left
        {mixed, 20, 4, 0, "???", 3},                 // a mark whose letter is out of view
        {"\tx", 20, 0, 1, "       >x", 9},
        // clang-format on
    };
    test_support::utf8_mode utf8;
    for (const auto &r : rows) {
        set_white_space_vis(r.vis);
        std::string out;
        EXPECT_EQ(text_image(out, r.text.c_str(), 0, r.width, r.h), r.cells);
        EXPECT_EQ(out, r.image) << testing::PrintToString(r.text) << " scrolled " << r.h;
        EXPECT_EQ(text_cells(out.c_str()), r.cells);
    }
    set_white_space_vis(0);
    // Into values are bytes; columns are cells. An into value inside a
    // character stands on it; a column inside one gives its start.
    const int cols[][2] = {{0, 0}, {1, 0}, {2, 1}, {4, 1}, {5, 3}, {6, 4}, {8, 4}, {9, 5}, {11, 7}};
    for (const auto &c : cols) EXPECT_EQ(col_nth_char(mixed.c_str(), 0, c[0]), c[1]) << c[0];
    const int intos[][2] = {{0, 0}, {1, 2}, {2, 2}, {3, 5}, {4, 8}, {5, 9}, {7, 11}};
    for (const auto &c : intos) EXPECT_EQ(into_near_col(mixed.c_str(), 0, c[0]), c[1]) << c[0];
}

} // namespace
