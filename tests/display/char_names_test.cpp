// Display forms of bytes and the image of a row scrolled sideways.
#include "display/char_names.h"
#include "display/draw_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Each test starts with white space hidden and leaves it so.
class DisplayForms : public ::testing::Test {
  protected:
    void SetUp() override { set_white_space_vis(0); }
    void TearDown() override { set_white_space_vis(0); }
    static std::string name(int byte, int col = 0) { return char_name(byte, col); }
};

TEST_F(DisplayForms, BytesInBothWhiteSpaceModes) {
    struct form {
        int byte;
        int col;
        const char *hidden;
        const char *visible;
    };
    const form forms[] = {
        {'a', 0, "a", "a"},
        {'~', 3, "~", "~"},
        {' ', 0, " ", "."},
        {'\t', 5, "   ", "  >"},
        {'\t', 8, "        ", "       >"},
        {'\t', 7, " ", ">"},
        {'\t', -3, "   ", "  >"},
        {1, 0, "?", "^A"},
        {'\n', 0, "?", "^J"},
        {31, 0, "?", "^_"},
        {127, 0, "?", "<7f>"},
        {128, 0, "?", "<80>"},
        {200, 0, "?", "<c8>"},
        {255, 0, "?", "<ff>"},
        {-56, 0, "?", "<c8>"}, // a signed char holding 200
    };
    for (const form &f : forms) {
        set_white_space_vis(0);
        EXPECT_EQ(name(f.byte, f.col), f.hidden) << f.byte << " at " << f.col;
        EXPECT_EQ(len_char_name(f.byte, f.col), static_cast<int>(std::strlen(f.hidden)));
        set_white_space_vis(1);
        EXPECT_EQ(name(f.byte, f.col), f.visible) << f.byte << " at " << f.col;
        EXPECT_EQ(len_char_name(f.byte, f.col), static_cast<int>(std::strlen(f.visible)));
    }
    EXPECT_EQ(white_space_vis(), 1);
}

TEST_F(DisplayForms, EveryNameIsAsWideAsItsWidth) {
    for (int vis : {0, 1}) {
        set_white_space_vis(vis);
        for (int byte = 1; byte < 256; byte++)
            for (int col = 0; col < 16; col++)
                ASSERT_EQ(std::strlen(char_name(byte, col)),
                          static_cast<size_t>(len_char_name(byte, col)))
                    << byte << " at " << col << " visible " << vis;
    }
}

std::string image(const char *text, int start, int width, int h) {
    std::string out;
    int cells = text_image(out, text, start, width, h);
    EXPECT_EQ(cells, static_cast<int>(out.size()));
    return out;
}

TEST_F(DisplayForms, RowImagesScrolledAndClipped) {
    EXPECT_EQ(image("abc", 0, 10, 0), "abc");
    EXPECT_EQ(image("abc", 4, 10, 0), "    abc") << "indented";
    EXPECT_EQ(image("abcdefgh", 4, 10, 0), "    abcdef") << "clipped at the width";
    EXPECT_EQ(image("abc", 10, 10, 0), "") << "starts beyond the row";
    EXPECT_EQ(image("abc", 30, 10, 20), "") << "starts beyond the scrolled row";
    EXPECT_EQ(image("abc", 25, 10, 20), "     abc");
    // Scrolled by 20: bytes left of column 20 are skipped; a tab that
    // straddles it shows only its cells right of it.
    std::string line = std::string(18, 'x') + "\tyz";
    EXPECT_EQ(image(line.c_str(), 0, 10, 20), "    yz");
    EXPECT_EQ(image(line.c_str(), 3, 10, 20), "x   yz") << "tab from 21 to 24";
    EXPECT_EQ(image("ab", -1, 10, 0), "b") << "a start left of the row";
    set_white_space_vis(1);
    EXPECT_EQ(image(line.c_str(), 0, 10, 20), "   >yz");
    // A name that does not fit is cut; one that straddles the left edge too.
    EXPECT_EQ(image("ab\xc8", 0, 4, 0), "ab<c");
    EXPECT_EQ(image("ab\xc8", 0, 10, 4), "8>");
    EXPECT_EQ(image("abc", 0, 0, 0), "");
}

} // namespace
