#include "display/keys.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>

namespace {

// The code a key name stands for, worked out from the name alone.
int code_of_name(std::string name) {
    static const char *const cursor[] = {"Left",  "Right", "Up",    "Down", "Home",
                                         "End",   "PgUp",  "PgDn",  "Ins",  "Del",
                                         "Grey+", "Grey-", "Grey*", "Grey/"};
    if (name == "Del127") return 127;
    if (name.size() == 2 && name[0] == '^' && name[1] >= 'A' && name[1] <= '_') return name[1] - 64;
    int modifier = 0;
    if (name[0] == '~') modifier = K_SHIFT;
    if (name[0] == '^') modifier = K_CTRL;
    if (name[0] == '@') modifier = K_ALT;
    if (modifier != 0) name.erase(0, 1);
    if (modifier == K_ALT && name.size() == 1) {
        if (name[0] >= 'A' && name[0] <= 'Z') return K_ALT | name[0];
        if (name[0] >= '0' && name[0] <= '9') return K_ALT | (name[0] - '0');
    }
    if (name[0] == 'F') return modifier | (0x200 + std::stoi(name.substr(1)));
    for (int i = 0; i < 14; i++)
        if (name == cursor[i]) return modifier | (0x100 + i);
    return -1;
}

TEST(KeyTab, NamesMatchTheirCodes) {
    std::set<std::string> names;
    int rows = 0;
    for (; key_tab[rows].name != nullptr; rows++) {
        const key_tab_entry &row = key_tab[rows];
        EXPECT_EQ(code_of_name(row.name), row.code) << row.name;
        EXPECT_EQ(row.prefix, 0);
        EXPECT_TRUE(names.insert(row.name).second) << "twice: " << row.name;
    }
    EXPECT_EQ(rows, KEY_TAB_ROWS);
    EXPECT_STREQ(key_tab[0].name, "^A");
    EXPECT_STREQ(key_tab[KEY_TAB_ROWS - 1].name, "@9");
}

TEST(KeyTab, LookupByName) {
    int i = lookup_key_name("^Grey+");
    ASSERT_NE(i, -1);
    EXPECT_EQ(key_tab[i].code, K_CTRL | K_GREY_PLUS);
    EXPECT_EQ(key_tab[i].code, 0x210A);
    EXPECT_EQ(lookup_key_name("Grey+"), -1) << "the plain Grey keys have no name";
    EXPECT_EQ(lookup_key_name("left"), -1) << "names are case-sensitive";
    EXPECT_EQ(lookup_key_name(""), -1);
    EXPECT_EQ(lookup_key_name("^\\"), lookup_key_code(28));
    EXPECT_EQ(key_tab[lookup_key_name("Del127")].code, 127);
    EXPECT_EQ(key_tab[lookup_key_name("~PgDn")].code, 0x1107);
}

TEST(KeyTab, LookupByCode) {
    EXPECT_STREQ(key_tab[lookup_key_code(K_ALT | 5)].name, "@5");
    EXPECT_STREQ(key_tab[lookup_key_code(K_ALT | 'A')].name, "@A");
    EXPECT_STREQ(key_tab[lookup_key_code(K_CTRL | K_F12)].name, "^F12");
    EXPECT_STREQ(key_tab[lookup_key_code(3)].name, "^C");
    for (int nameless : std::initializer_list<int>{0, K_ESCAPE, ' ', 'a', K_GREY_PLUS,
                                                   K_SHIFT | K_INS, 0x4201 + 12})
        EXPECT_EQ(lookup_key_code(nameless), -1) << nameless;
}

} // namespace
