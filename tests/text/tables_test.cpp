#include "tables_owner.h"

#include <string>
#include <vector>

namespace {

using Tables = TablesTest;

LANG *make(const std::string &name, const char *match = "") {
    return lang_create(name.c_str(), "#", "", match, "_", 0);
}

TEST_F(Tables, FortyLanguagesIdsNeverReusedTheNewestFirst) {
    LANG *top = make_top(), *old_c = make("c", ".*\\.c");
    make("broken", "(unclosed"); // never matches
    for (int i = 3; i < MAX_LANGS; i++) ASSERT_NE(make("l" + std::to_string(i)), nullptr);
    EXPECT_EQ(make("41st"), nullptr);
    EXPECT_EQ(lang_create("n", std::string(LINE_BUF_SIZE, '#').c_str(), "", "", "", 0), nullptr);
    ASSERT_EQ(lang_delete(langs[2]), 1);
    EXPECT_STREQ(langs[2]->name, "l3") << "the gap closed";
    EXPECT_EQ(lookup_lang_id(top->id + 2), nullptr);
    LANG *new_c = make("c", ".*\\.c");
    EXPECT_EQ(new_c->id, top->id + MAX_LANGS) << "ids are never reused";
    EXPECT_EQ(lookup_lang_text("c"), new_c) << "the newer shadows the older";
    const std::pair<const char *, LANG *> guesses[] = {
        {"main.c", new_c},        {"/a/b/notes.top", top}, {"dir\\x.top", top},
        {"x.top.bak", nullptr},   {"x.to", nullptr},       {"main.cc", nullptr},
        {"bad\tname.c", nullptr}, {"/dev/x.top", nullptr}};
    for (auto [name, lang] : guesses) EXPECT_EQ(guess_lang_of(name), lang) << name;
    ASSERT_EQ(lang_delete(new_c), 1);
    EXPECT_EQ(lookup_lang_text("c"), old_c);
    EXPECT_EQ(guess_lang_of("main.c"), old_c);
}

TEST_F(Tables, SixtyBuffersInTheLowestFreeSlotIdsNeverReusedChildrenLoseTheirParent) {
    LANG *top = make_top();
    std::vector<BUFF *> made; // each the parent of the next
    for (int i = 0; i < MAX_BUFFS; i++) {
        int parent = i ? made.back()->id : -1;
        made.push_back(buff_create(("f" + std::to_string(i)).c_str(), parent, top));
        ASSERT_EQ(buffs[i], made.back());
    }
    EXPECT_EQ(buff_create("61st", -1, top), nullptr);
    cur_buffer = made[5];
    EXPECT_EQ(buff_delete(made[5]), 0) << "the current buffer stays";
    EXPECT_EQ(lang_delete(top), 0) << "a language in use stays";
    ASSERT_EQ(buff_delete(made[9]), 1);
    ASSERT_EQ(buff_delete(made[3]), 1);
    EXPECT_EQ(made[4]->parent, -1);
    EXPECT_EQ(made[5]->parent, made[4]->id);
    BUFF *next = buff_create("next", -1, top);
    EXPECT_EQ(buffs[3], next) << "the lowest free slot";
    EXPECT_EQ(next->id, made[0]->id + MAX_BUFFS) << "ids are never reused";
    EXPECT_EQ(lookup_buff_id(made[0]->id + 3), nullptr);
    EXPECT_EQ(lookup_buff_text("f12"), made[12]);
    EXPECT_EQ(buff_create(std::string(LINE_BUF_SIZE, 'n').c_str(), -1, top), nullptr);
}

} // namespace
