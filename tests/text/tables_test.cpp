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

std::vector<std::string> names() {
    std::vector<std::string> v;
    for (int i = 0; i < n_langs; i++) v.push_back(langs[i]->name);
    return v;
}

TEST_F(LangTable, HoldsFortyInOrderAndClosesGaps) {
    LANG *top = make_top();
    ASSERT_NE(top, nullptr);
    EXPECT_STREQ(top->rc_start, "/*...");
    EXPECT_EQ(top->flags, FLAG_AUTOINDENT | FLAG_INSERT);
    for (int i = 1; i < MAX_LANGS; i++) ASSERT_NE(make("l" + std::to_string(i)), nullptr);
    EXPECT_EQ(make("one too many"), nullptr);
    EXPECT_EQ(n_langs, MAX_LANGS);

    LANG *third = langs[2];
    int third_id = third->id;
    ASSERT_EQ(lang_delete(third), 1);
    EXPECT_EQ(lang_delete(third), 0) << "no longer in the table";
    EXPECT_EQ(n_langs, MAX_LANGS - 1);
    EXPECT_EQ(names()[2], "l3");
    EXPECT_EQ(lookup_lang_id(third_id), nullptr);

    LANG *again = make("again");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(langs[MAX_LANGS - 1], again);
    EXPECT_GT(again->id, langs[MAX_LANGS - 2]->id) << "ids are never reused";
    EXPECT_EQ(lookup_lang_id(again->id), again);
}

TEST_F(LangTable, RefusesLongStringsAndKeepsLongestAllowed) {
    std::string longest(LINE_MAX_TEXT, 'x');
    LANG *l = lang_create(longest.c_str(), longest.c_str(), longest.c_str(), longest.c_str(),
                          longest.c_str(), 0);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->rc_end, longest);
    std::string over = longest + "x";
    EXPECT_EQ(lang_create("n", over.c_str(), "", "", "", 0), nullptr);
    EXPECT_EQ(lang_create(over.c_str(), "", "", "", "", 0), nullptr);
    EXPECT_EQ(n_langs, 1);
}

TEST_F(LangTable, NewerShadowsOlderByName) {
    LANG *old_c = make("c", ".*\\.c");
    LANG *new_c = make("c", ".*\\.c");
    make("other");
    EXPECT_EQ(lookup_lang_text("c"), new_c);
    EXPECT_EQ(lookup_lang_text("C"), nullptr);
    EXPECT_EQ(lookup_lang_text(""), nullptr);
    EXPECT_EQ(guess_lang_of("main.c"), new_c);
    lang_delete(new_c);
    EXPECT_EQ(lookup_lang_text("c"), old_c);
    EXPECT_EQ(guess_lang_of("main.c"), old_c);
}

TEST_F(LangTable, GuessMatchesTheWholeHostName) {
    LANG *top = make_top();
    make("never");               // empty match: never chosen
    make("broken", "(unclosed"); // does not compile: never matches
    struct Case {
        const char *name;
        LANG *expected;
    } cases[] = {
        {"notes.top", top},         {"/a/b/notes.top", top},
        {"dir\\x.top", top},        // a backslash is a directory separator
        {"notes.top.bak", nullptr}, // the match must reach the end
        {"notes.topx", nullptr},    {"x.to", nullptr},
        {"bad\tname.top", nullptr}, // not a valid host name
        {"/dev/x.top", nullptr},
    };
    for (const Case &c : cases) EXPECT_EQ(guess_lang_of(c.name), c.expected) << c.name;
}

TEST_F(LangTable, LanguageInUseIsNotDeleted) {
    LANG *top = make_top();
    BUFF *b = buff_create("f", -1, top);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(lang_delete(top), 0);
    EXPECT_EQ(n_langs, 1);
    buff_delete(b);
    EXPECT_EQ(lang_delete(top), 1);
    EXPECT_EQ(n_langs, 0);
}

TEST_F(BuffTable, NewBufferTakesTheLanguagesSettings) {
    LANG *top = make_top();
    BUFF *b = buff_create("dir/file.top", 7, top);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->top, b->fold);
    EXPECT_EQ(b->top->line_count, 1);
    EXPECT_EQ(b->top->open, 0);
    EXPECT_STREQ(b->fn, "dir/file.top");
    EXPECT_EQ(b->parent, 7);
    EXPECT_EQ(b->lang, top);
    EXPECT_EQ(b->flags, top->flags);
    EXPECT_EQ(b->changed + b->line_no, 0);
    EXPECT_EQ(cur_buffer, nullptr) << "creating does not select";
    EXPECT_EQ(buff_create(std::string(LINE_BUF_SIZE, 'n').c_str(), -1, top), nullptr);
}

TEST_F(BuffTable, SixtySlotsLowestFreeFirstIdsNeverReused) {
    LANG *top = make_top();
    std::vector<BUFF *> made;
    for (int i = 0; i < MAX_BUFFS; i++) {
        made.push_back(buff_create(("f" + std::to_string(i)).c_str(), -1, top));
        ASSERT_NE(made.back(), nullptr);
        EXPECT_EQ(buffs[i], made.back());
    }
    EXPECT_EQ(buff_create("one too many", -1, top), nullptr);
    EXPECT_EQ(n_buffs, MAX_BUFFS);

    cur_buffer = made[5];
    EXPECT_EQ(buff_delete(made[5]), 0) << "the current buffer stays";
    int id3 = made[3]->id, id9 = made[9]->id;
    ASSERT_EQ(buff_delete(made[9]), 1);
    ASSERT_EQ(buff_delete(made[3]), 1);
    EXPECT_EQ(n_buffs, MAX_BUFFS - 2);
    BUFF *next = buff_create("next", -1, top);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(buffs[3], next);
    EXPECT_EQ(lookup_buff_id(id3), nullptr);
    EXPECT_EQ(lookup_buff_id(id9), nullptr);
    EXPECT_GT(next->id, made.back()->id);
    EXPECT_EQ(lookup_buff_id(next->id), next);
    EXPECT_EQ(lookup_buff_text("next"), next);
    EXPECT_EQ(lookup_buff_text("f12"), made[12]);
    EXPECT_EQ(lookup_buff_text("nope"), nullptr);
}

TEST_F(BuffTable, ChildrenLoseTheirDeletedParent) {
    LANG *top = make_top();
    BUFF *first = buff_create("", -1, top);
    BUFF *parent = buff_create("p", first->id, top);
    BUFF *child = buff_create("c1", parent->id, top);
    BUFF *grandchild = buff_create("c2", child->id, top);
    BUFF *other = buff_create("o", first->id, top);
    cur_buffer = first;
    // The deleted buffer's tree goes with it (the sanitizer build checks).
    line_insert(line_create_text("text"), parent->top);
    ASSERT_EQ(buff_delete(parent), 1);
    EXPECT_EQ(child->parent, -1);
    EXPECT_EQ(grandchild->parent, child->id);
    EXPECT_EQ(other->parent, first->id);
    EXPECT_EQ(lookup_buff_id(child->id), child);
}

} // namespace
