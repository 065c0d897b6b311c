// The setup commands change the current buffer's settings and leave its
// language's alone.
#include "commands_owner.h"

#include "commands/executor.h"
#include "text/flags.h"

namespace {

using SetupCommands = CommandsTest;

TEST_F(SetupCommands, SwitchesAndTabSize) {
    const struct {
        const char *command;
        unsigned flags; // after it, from 0x300
    } cases[] = {
        {"setup_visible", 0x700},  {"setup_visible", 0x300},   {"setup_autoindent", 0x200},
        {"setup_insert", 0x000},   {"setup_insert", 0x200},    {"setup_tabs 8", 0x208},
        {"setup_tabs 256", 0x200}, {"setup_tabs &1ff", 0x2ff}, {"setup_tabs 260", 0x204},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(exec_commands(c.command), 1) << c.command;
        EXPECT_EQ(cur_buffer->flags, c.flags) << c.command;
    }
    EXPECT_EQ(top->flags, 0x300u);
}

} // namespace
