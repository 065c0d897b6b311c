#include "commands_owner.h"

#include "commands/executor.h"
#include "display/keys.h"

#include <string>

namespace {

using KeyCommands = CommandsTest;

constexpr int CTRL_K = 11, CTRL_X = 24;

TEST_F(KeyCommands, BindingASingleKeyAgainReplacesIt) {
    ASSERT_EQ(exec_commands(R"(key_bind "^A" "word_left" key_bind "  ^A" "word_right")"), 1);
    EXPECT_EQ(n_bindings, 1);
    EXPECT_EQ(action_of(1), "word_right");
    ASSERT_EQ(exec_commands(R"(key_bind "~Left" "line_goto ?")"), 1);
    EXPECT_EQ(action_of(K_SHIFT | K_LEFT), "line_goto ?");
}

TEST_F(KeyCommands, APrefixReplacesTheKeysSingleBinding) {
    ASSERT_EQ(exec_commands(R"(key_bind "^K" "other_exit yes")"), 1);
    ASSERT_EQ(exec_commands(R"(key_prefix " ^K")"), 1);
    EXPECT_TRUE(is_prefix_key(CTRL_K));
    EXPECT_EQ(n_bindings, 1);
    EXPECT_EQ(action_of(CTRL_K), "");
    // A key name after a prefix binds the pair; the prefix's own binding stays.
    ASSERT_EQ(exec_commands(R"(key_bind "^K  ^X" "other_exit yes")"), 1);
    EXPECT_EQ(action_of(CTRL_K, CTRL_X), "other_exit yes");
    EXPECT_EQ(action_of(CTRL_K), "");
    EXPECT_EQ(n_bindings, 2);
}

TEST_F(KeyCommands, WordsAfterAKeyThatIsNoPrefixAreIgnored) {
    ASSERT_EQ(exec_commands(R"(key_bind "^A ^X nonsense" "a")"), 1);
    EXPECT_EQ(action_of(1), "a");
    EXPECT_EQ(find_binding(1, CTRL_X), -1);
}

TEST_F(KeyCommands, UnknownKeyNames) {
    exec_commands(R"(key_prefix "^K")");
    for (const char *text : {
             R"(key_bind "Nope" "a")",
             R"(key_bind "" "a")",
             R"(key_bind "^k" "a")",   // names are case-sensitive
             R"(key_bind "^K" "a")",   // a prefix needs a second key
             R"(key_bind "^K x" "a")", // printable characters have no names
             R"(key_prefix "")",
             R"(key_prefix "^A ")", // the rest of the text is the name
             R"(key_prefix "^A ^B")",
         }) {
        EXPECT_EQ(exec_commands(text), 0) << text;
        EXPECT_STREQ(last_error(), "bad key name") << text;
    }
    EXPECT_EQ(n_bindings, 1);
    EXPECT_FALSE(is_prefix_key(1));
}

} // namespace
