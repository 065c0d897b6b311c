#include "editing_owner.h"

#include "commands/word_commands.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {

class WordCommands : public EditingTest {
  protected:
    void SetUp() override {
        EditingTest::SetUp();
        std::strcpy(cur_buffer->lang->separators, ",;");
    }

    // Where the cursor ends: the current index and the into value.
    std::pair<int, int> after(void (*move)(), int index, int into) {
        go(index, into);
        move();
        EXPECT_EQ(picture(), "ab,cd ef,  gh\t,");
        return {fold()->cur_index, this->into()};
    }
};

using At = std::pair<int, int>;

TEST_F(WordCommands, SeparatorsWhiteSpaceAndLineEndsEndWords) {
    add_lines({"ab,cd ef", "  gh\t"});
    EXPECT_EQ(after(cmd_w_right, 0, 3), At(0, 5)) << "from c: the space after d";
    EXPECT_EQ(after(cmd_w_right, 0, 2), At(0, 5)) << "from the comma: past the next word";
    EXPECT_EQ(after(cmd_w_right, 0, 6), At(0, 8));
    EXPECT_EQ(after(cmd_w_right, 0, 8), At(1, 4)) << "across the line end";
    EXPECT_EQ(after(cmd_w_right, 1, 4), At(2, 0)) << "no word left: the end line";
    EXPECT_EQ(after(cmd_w_right, 2, 0), At(2, 0));

    EXPECT_EQ(after(cmd_w_left, 0, 6), At(0, 3)) << "from e: to c";
    EXPECT_EQ(after(cmd_w_left, 0, 3), At(0, 0)) << "from c: to a";
    EXPECT_EQ(after(cmd_w_left, 0, 1), At(0, 0)) << "the first word of the list";
    EXPECT_EQ(after(cmd_w_left, 0, 0), At(0, 0));
    EXPECT_EQ(after(cmd_w_left, 1, 2), At(0, 6)) << "across the line end";
    EXPECT_EQ(after(cmd_w_left, 2, 0), At(1, 2));
}

TEST_F(WordCommands, AFoldLinesIndentationIsWhiteSpace) {
    add_lines({"x"});
    append_line(fold(), make_fold("nm", {}, 2));
    go(1, 2);
    cmd_w_right();
    EXPECT_EQ(into(), 8) << "past the name";
    cmd_w_left();
    EXPECT_EQ(into(), 6);
    cmd_w_left();
    EXPECT_EQ(fold()->cur_index, 0);
    EXPECT_EQ(into(), 0);
}

} // namespace
