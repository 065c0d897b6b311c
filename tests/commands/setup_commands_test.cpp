// The setup commands change the current buffer's settings and leave its
// language's alone.
#include "commands_owner.h"

#include "commands/executor.h"
#include "text/flags.h"

namespace {

using SetupCommands = CommandsTest;

TEST_F(SetupCommands, SwitchesFlipOneBitOfTheCurrentBuffer) {
    const struct {
        const char *command;
        unsigned bit;
    } cases[] = {
        {"setup_visible", FLAG_VISIBLE},
        {"setup_autoindent", FLAG_AUTOINDENT},
        {"setup_insert", FLAG_INSERT},
    };
    BUFF *other = buff_create("other", -1, top);
    ASSERT_NE(other, nullptr);
    unsigned start = cur_buffer->flags;
    for (const auto &c : cases) {
        ASSERT_EQ(exec_commands(c.command), 1) << c.command;
        EXPECT_EQ(cur_buffer->flags, start ^ c.bit) << c.command;
        ASSERT_EQ(exec_commands(c.command), 1) << c.command;
        EXPECT_EQ(cur_buffer->flags, start) << c.command;
    }
    EXPECT_EQ(top->flags, 0x300u);
    EXPECT_EQ(other->flags, 0x300u);
}

TEST_F(SetupCommands, TabSizeTakesTheLow8Bits) {
    const struct {
        const char *command;
        unsigned size;
    } cases[] = {
        {"setup_tabs 8", 8},   {"setup_tabs 0", 0},   {"setup_tabs 255", 255},
        {"setup_tabs 256", 0}, {"setup_tabs 260", 4}, {"setup_tabs &104", 4},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(exec_commands(c.command), 1) << c.command;
        EXPECT_EQ(cur_buffer->flags, 0x300u | c.size) << c.command;
    }
    EXPECT_EQ(top->flags, 0x300u);
}

} // namespace
