// The menu's tables come from the command table.
#include <gtest/gtest.h>

#include <string>

#include "commands/command_table.h"
#include "main/menu.h"

namespace {

TEST(MenuTables, EveryExistingCommandIsInItsGroupInTableOrder) {
    const char *const groups[MENU_GROUPS] = {"character", "string", "word", "line",  "page",
                                             "search",    "tag",    "fold", "block", "buffer",
                                             "language",  "setup",  "key",  "other"};
    int listed = 0;
    for (int g = 0; g < MENU_GROUPS; g++) {
        int count;
        const OPTION *options = menu_group_options(g, &count);
        int next_row = 0;
        for (int i = 0; i < count; i++, listed++) {
            std::string name = std::string(groups[g]) + "_" + options[i].name;
            int row = lookup_command(name.c_str());
            ASSERT_GE(row, next_row) << name;
            EXPECT_NE(cmd_table[row].func, nullptr) << name;
            EXPECT_EQ(options[i].value, cmd_table[row].n_args) << name;
            next_row = row + 1;
        }
    }
    int existing = 0;
    for (const COMMAND &c : cmd_table) existing += c.func != nullptr;
    EXPECT_EQ(listed, existing);
}

} // namespace
