// Display forms of bytes and the image of a row scrolled sideways.
#include "display/char_names.h"
#include "display/draw_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class DisplayForms : public ::testing::Test {
  protected:
    void TearDown() override { set_white_space_vis(0); }
};

TEST_F(DisplayForms, BytesInBothWhiteSpaceModes) {
    struct form {
        int byte, col;
        const char *hidden, *visible;
    } const forms[] = {
        {'a', 0, "a", "a"},       {' ', 0, " ", "."},
        {'\t', 5, "   ", "  >"},  {'\t', 8, "        ", "       >"},
        {'\t', -3, "   ", "  >"}, {1, 0, "?", "^A"},
        {31, 0, "?", "^_"},       {127, 0, "?", "<7f>"},
        {200, 0, "?", "<c8>"},    {-56, 0, "?", "<c8>"}, // a signed char holding 200
    };
    for (const form &f : forms)
        for (int vis : {0, 1}) {
            set_white_space_vis(vis);
            const char *want = vis ? f.visible : f.hidden;
            EXPECT_STREQ(char_name(f.byte, f.col), want) << f.byte << " at " << f.col;
            EXPECT_EQ(len_char_name(f.byte, f.col), static_cast<int>(std::strlen(want)));
        }
    // Every name is as wide as its width says.
    for (int vis : {0, 1}) {
        set_white_space_vis(vis);
        for (int byte = 1; byte < 256; byte++)
            for (int col = 0; col < 8; col++)
                ASSERT_EQ(std::strlen(char_name(byte, col)),
                          static_cast<size_t>(len_char_name(byte, col)));
    }
}

std::string image(const char *text, int start, int width, int h, int plain = 0) {
    std::string out;
    int cells = text_image(out, text, start, width, h, plain);
    EXPECT_EQ(cells, static_cast<int>(out.size()));
    return out;
}

TEST_F(DisplayForms, RowImagesScrolledAndClipped) {
    EXPECT_EQ(image("abcdefgh", 4, 10, 0), "    abcdef") << "indented, cut at the width";
    EXPECT_EQ(image("abc", 10, 10, 0), "") << "starts beyond the row";
    EXPECT_EQ(image("abc", 25, 10, 20), "     abc");
    EXPECT_EQ(image("ab", -1, 10, 0), "b");
    // Scrolled by 20: a tab from 21 to 24 shows its cells right of 20.
    std::string line = std::string(18, 'x') + "\tyz";
    EXPECT_EQ(image(line.c_str(), 3, 10, 20), "x   yz");
    set_white_space_vis(1);
    EXPECT_EQ(image(line.c_str(), 3, 10, 20), "x  >yz");
    EXPECT_EQ(image("ab\xc8", 0, 4, 0), "ab<c") << "a name cut at the right";
    EXPECT_EQ(image("ab\xc8", 0, 10, 4), "8>") << "and at the left";
    EXPECT_EQ(image("{{{ a b", 0, 10, 0, 4), "{{{ a.b") << "the marker is no text";
}

} // namespace
