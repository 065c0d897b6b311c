// Display forms of bytes and the image of a row scrolled sideways. The forms
// of tabs, control and high bytes are also seen through a terminal
// (tests/e2e); here are the edges.
#include "display/char_names.h"
#include "display/draw_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

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
