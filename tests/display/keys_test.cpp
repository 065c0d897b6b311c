#include "display/keys.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

// The code a key name stands for, worked out from the name alone.
int code_of_name(std::string name) {
    static const std::string cursor[] = {"Left",  "Right", "Up",    "Down", "Home",
                                         "End",   "PgUp",  "PgDn",  "Ins",  "Del",
                                         "Grey+", "Grey-", "Grey*", "Grey/"};
    if (name == "Del127") return 127;
    if (name.size() == 2 && name[0] == '^' && name[1] >= 'A' && name[1] <= '_') return name[1] - 64;
    size_t prefix = std::string("~^@").find(name[0]);
    int modifier = prefix == std::string::npos ? 0 : 0x1000 << prefix;
    if (modifier != 0) name.erase(0, 1);
    if (modifier == K_ALT && name.size() == 1)
        return K_ALT | (std::isdigit(name[0]) ? name[0] - '0' : name[0]);
    if (name[0] == 'F') return modifier | (0x200 + std::stoi(name.substr(1)));
    for (int i = 0; i < 14; i++)
        if (name == cursor[i]) return modifier | (0x100 + i);
    return -1;
}

TEST(KeyTab, NamesMatchTheirCodesAndAreFoundBothWays) {
    int rows = 0;
    for (; key_tab[rows].name != nullptr; rows++) {
        const key_tab_entry &row = key_tab[rows];
        EXPECT_EQ(code_of_name(row.name), row.code) << row.name;
        EXPECT_EQ(row.prefix, 0);
        EXPECT_EQ(lookup_key_name(row.name), rows) << "named twice";
        EXPECT_EQ(lookup_key_code(row.code), rows);
    }
    EXPECT_EQ(rows, KEY_TAB_ROWS);
    for (const char *nameless : {"Grey+", "left", ""}) EXPECT_EQ(lookup_key_name(nameless), -1);
    for (int nameless :
         {0, K_ESCAPE, int(' '), int('a'), K_GREY_PLUS, K_SHIFT | K_INS, K_ALT | (K_F12 + 1)})
        EXPECT_EQ(lookup_key_code(nameless), -1) << nameless;
}

} // namespace
