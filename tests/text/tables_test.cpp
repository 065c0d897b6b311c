#include "tables_owner.h"

#include "text/flags.h"

#include <string>
#include <vector>

namespace {

using LangTable = TablesTest;
using BuffTable = TablesTest;

LANG *make(const std::string &name, const char *match = "") {
    return lang_create(name.c_str(), "#", "", match, "_", FLAG_INSERT | 4);
}

TEST_F(LangTable, FortyInOrderGapsClosedIdsNeverReused) {
    ASSERT_EQ(make_top()->flags, FLAG_AUTOINDENT | FLAG_INSERT);
    for (int i = 1; i < MAX_LANGS; i++) ASSERT_NE(make("l" + std::to_string(i)), nullptr);
    EXPECT_EQ(make("41st"), nullptr);
    LANG *third = langs[2];
    int third_id = third->id;
    ASSERT_EQ(lang_delete(third), 1);
    EXPECT_EQ(lang_delete(third), 0) << "no longer in the table";
    EXPECT_STREQ(langs[2]->name, "l3");
    EXPECT_EQ(lookup_lang_id(third_id), nullptr);
    LANG *again = make("again");
    ASSERT_EQ(langs[MAX_LANGS - 1], again);
    EXPECT_GT(again->id, langs[MAX_LANGS - 2]->id);
    EXPECT_EQ(lookup_lang_id(again->id), again);
    // Strings of 500 bytes are the longest taken.
    lang_delete(again);
    std::string s500(LINE_MAX_TEXT, 'x'), s501 = s500 + "x";
    EXPECT_EQ(lang_create("n", s501.c_str(), "", "", "", 0), nullptr);
    LANG *l = lang_create(s500.c_str(), s500.c_str(), s500.c_str(), s500.c_str(), s500.c_str(), 0);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->rc_end, s500);
}

TEST_F(LangTable, NewestFirstAndWholeNameMatching) {
    LANG *top = make_top();
    LANG *old_c = make("c", ".*\\.c");
    LANG *new_c = make("c", ".*\\.c");
    make("never");               // no match expression
    make("broken", "(unclosed"); // does not compile
    EXPECT_EQ(lookup_lang_text("c"), new_c);
    EXPECT_EQ(lookup_lang_text("C"), nullptr);
    const std::pair<const char *, LANG *> cases[] = {
        {"main.c", new_c},          {"notes.top", top},         {"/a/b/notes.top", top},
        {"dir\\x.top", top},        {"notes.top.bak", nullptr}, {"x.to", nullptr},
        {"bad\tname.top", nullptr}, {"/dev/x.top", nullptr},
    };
    for (auto [name, lang] : cases) EXPECT_EQ(guess_lang_of(name), lang) << name;
    lang_delete(new_c);
    EXPECT_EQ(lookup_lang_text("c"), old_c);
    EXPECT_EQ(guess_lang_of("main.c"), old_c);
    // A language in use stays.
    BUFF *b = buff_create("f", -1, old_c);
    EXPECT_EQ(lang_delete(old_c), 0);
    buff_delete(b);
    EXPECT_EQ(lang_delete(old_c), 1);
}

TEST_F(BuffTable, SixtySlotsLowestFreeFirstIdsNeverReused) {
    LANG *top = make_top();
    BUFF *b = buff_create("dir/file.top", 7, top);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->top == b->fold && b->top->line_count == 1 && !b->top->open);
    EXPECT_EQ(b->fn, std::string("dir/file.top"));
    EXPECT_TRUE(b->parent == 7 && b->lang == top && b->flags == top->flags);
    EXPECT_EQ(b->changed + b->line_no, 0);
    EXPECT_EQ(cur_buffer, nullptr) << "creating does not select";
    EXPECT_EQ(buff_create(std::string(LINE_BUF_SIZE, 'n').c_str(), -1, top), nullptr);

    std::vector<BUFF *> made{b};
    for (int i = 1; i < MAX_BUFFS; i++) {
        made.push_back(buff_create(("f" + std::to_string(i)).c_str(), -1, top));
        ASSERT_EQ(buffs[i], made.back());
    }
    EXPECT_EQ(buff_create("61st", -1, top), nullptr);
    cur_buffer = made[5];
    EXPECT_EQ(buff_delete(made[5]), 0) << "the current buffer stays";
    int id3 = made[3]->id;
    ASSERT_EQ(buff_delete(made[9]), 1);
    ASSERT_EQ(buff_delete(made[3]), 1);
    EXPECT_EQ(n_buffs, MAX_BUFFS - 2);
    BUFF *next = buff_create("next", -1, top);
    EXPECT_EQ(buffs[3], next);
    EXPECT_EQ(lookup_buff_id(id3), nullptr);
    EXPECT_GT(next->id, made.back()->id);
    EXPECT_EQ(lookup_buff_id(next->id), next);
    EXPECT_EQ(lookup_buff_text("f12"), made[12]);
    EXPECT_EQ(lookup_buff_text("nope"), nullptr);
}

TEST_F(BuffTable, ChildrenLoseTheirDeletedParent) {
    LANG *top = make_top();
    BUFF *first = buff_create("", -1, top);
    BUFF *parent = buff_create("p", first->id, top);
    BUFF *child = buff_create("c1", parent->id, top);
    BUFF *grandchild = buff_create("c2", child->id, top);
    cur_buffer = first;
    line_insert(line_create_text("goes with its buffer"), parent->top);
    ASSERT_EQ(buff_delete(parent), 1);
    EXPECT_EQ(child->parent, -1);
    EXPECT_EQ(grandchild->parent, child->id);
    EXPECT_EQ(lookup_buff_id(child->id), child);
}

} // namespace
