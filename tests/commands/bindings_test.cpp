#include "bindings_owner.h"

#include "commands/errors.h"
#include "display/keys.h"

#include <string>

namespace {

using Bindings = BindingsTest;

// The message of the error that bind_key raised, or "" when it raised none.
std::string bind(int key1, int key2, const char *action) {
    try {
        bind_key(key1, key2, action);
    } catch (const command_error &e) {
        return e.what();
    }
    return "";
}

TEST_F(Bindings, RebindingAPairReplacesItsActionInPlace) {
    char action[] = "word_left";
    ASSERT_EQ(bind(1, 0, action), "");
    ASSERT_EQ(bind(11, 24, "line_down"), "");
    ASSERT_EQ(bind(11, 0, ""), "");
    action[0] = 'W';
    EXPECT_STREQ(bindings[0].action, "word_left") << "the table holds its own copy";
    ASSERT_EQ(bind(1, 0, "word_right"), "");
    EXPECT_EQ(n_bindings, 3);
    EXPECT_EQ(find_binding(1, 0), 0);
    EXPECT_STREQ(bindings[0].action, "word_right");
    EXPECT_EQ(find_binding(11, 24), 1) << "a pair is not the single key";
    EXPECT_EQ(find_binding(11, 0), 2);
    EXPECT_EQ(find_binding(24, 11), -1);
    EXPECT_EQ(find_binding(24, 0), -1);
}

TEST_F(Bindings, TheTwoHundredAndFiftyFirstPairIsRefused) {
    for (int k = 0; k < MAX_BINDINGS; k++) ASSERT_EQ(bind(K_F1, k, "page_up"), "") << k;
    EXPECT_EQ(bind(K_F1, MAX_BINDINGS, "page_down"), "too many bindings");
    EXPECT_EQ(n_bindings, MAX_BINDINGS);
    EXPECT_EQ(find_binding(K_F1, MAX_BINDINGS), -1);
    // A pair bound already still takes a new action in a full table.
    EXPECT_EQ(bind(K_F1, MAX_BINDINGS - 1, "page_down"), "");
    EXPECT_STREQ(bindings[MAX_BINDINGS - 1].action, "page_down");
}

TEST_F(Bindings, ClearingEmptiesTheTableAndThePrefixFlags) {
    int k = lookup_key_name("^K");
    key_tab[k].prefix = 1;
    EXPECT_TRUE(is_prefix_key(11));
    EXPECT_FALSE(is_prefix_key(12));
    EXPECT_FALSE(is_prefix_key(0x7777)) << "a code without a key_tab row";
    ASSERT_EQ(bind(11, 0, ""), "");
    clear_bindings();
    EXPECT_EQ(n_bindings, 0);
    EXPECT_EQ(find_binding(11, 0), -1);
    EXPECT_FALSE(is_prefix_key(11));
}

} // namespace
