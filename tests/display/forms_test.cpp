// Display forms of bytes, the image of a row scrolled sideways and into
// values, the screen columns of cursor positions in lines. The forms of tabs,
// control and high bytes are also seen through a terminal (tests/e2e); here
// are the edges.
#include "display/char_names.h"
#include "display/draw_text.h"
#include "display/into.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

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

TEST(DisplayForms, EveryNameIsAsWideAsItsWidthSays) {
    for (int vis : {0, 1}) {
        set_white_space_vis(vis);
        for (int byte = 1; byte < 256; byte++)
            for (int col = -3; col < 8; col++)
                ASSERT_EQ(std::strlen(char_name(byte, col)), size_t(len_char_name(byte, col)));
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

} // namespace
