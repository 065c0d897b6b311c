// Key bindings: key_bind and key_prefix, the table's limit, the default
// bindings and the initialisation file (its messages: tests/main).
#include "commands_fixture.h"

#include "commands/ini_file.h"
#include "display/keys.h"
#include "support/scratch.h"

namespace {

using Bindings = CommandsTest;

constexpr int CTRL_K = 11, CTRL_X = 24;

TEST_F(Bindings, RebindingReplacesAndAPrefixTakesOverItsSingleBinding) {
    ASSERT_EQ(exec_commands(R"(key_bind "^K" "other_exit yes" key_bind "^A ^X nonsense" "a")"), 1);
    EXPECT_EQ(action_of(1), "a") << "words after a key that is no prefix are ignored";
    ASSERT_EQ(exec_commands(R"(key_prefix " ^K" key_bind "^K  ^X" "x" key_bind "^A" "b")"), 1);
    EXPECT_TRUE(is_prefix_key(CTRL_K));
    EXPECT_EQ(action_of(CTRL_K), "");
    EXPECT_EQ(action_of(CTRL_K, CTRL_X), "x");
    EXPECT_EQ(action_of(CTRL_X, CTRL_K) + action_of(1, CTRL_X), "<unbound><unbound>");
    EXPECT_EQ(find_binding(1, 0), 1) << "replaced in place";
    EXPECT_EQ(action_of(1), "b");
    EXPECT_EQ(n_bindings, 3);
    for (const char *text : {
             R"(key_bind "Nope" "a")", R"(key_bind "" "a")",
             R"(key_bind "^k" "a")",   // names are case-sensitive
             R"(key_bind "^K" "a")",   // a prefix needs a second key
             R"(key_bind "^K x" "a")", // printable characters have no names
             R"(key_prefix "^A ")",    // the rest of the text is the name
         }) {
        EXPECT_EQ(exec_commands(text), 0) << text;
        EXPECT_STREQ(last_error(), "bad key name") << text;
    }
    EXPECT_EQ(n_bindings, 3);
    EXPECT_FALSE(is_prefix_key(1));
}

TEST_F(Bindings, TheTwoHundredAndFiftyFirstPairIsRefused) {
    for (int k = 0; k < MAX_BINDINGS; k++)
        ASSERT_EQ(error_of([k] { bind_key(K_F1, k, "page_up"); }), "") << k;
    EXPECT_EQ(error_of([] { bind_key(K_F1, MAX_BINDINGS, "page_down"); }), "too many bindings");
    EXPECT_EQ(n_bindings, MAX_BINDINGS);
    EXPECT_EQ(find_binding(K_F1, MAX_BINDINGS), -1);
    // A pair bound already still takes a new action in a full table.
    EXPECT_EQ(error_of([] { bind_key(K_F1, MAX_BINDINGS - 1, "page_down"); }), "");
    EXPECT_EQ(action_of(K_F1, MAX_BINDINGS - 1), "page_down");
}

TEST_F(Bindings, TheDefaultsAreTwentyThreeSingleKeys) {
    apply_default_bindings();
    std::string keys;
    for (int i = 0; i < n_bindings; i++) keys += bindings[i].key2 ? '+' : bindings[i].key1 + '@';
    EXPECT_EQ(keys, "ACDEFGHILMNOPRSTUVWYXZK");
    EXPECT_EQ(action_of(1) + "," + action_of(13) + "," + action_of(26) + "," + action_of(CTRL_K),
              "word_left,line_split,page_scroll_up,other_exit yes");
}

TEST_F(Bindings, TheInitialisationFileRunsTheLinesOfSectionsSwitchedOn) {
    test_support::scratch_dir dir;
    test_support::write_file(dir.path("ox.ini"), "; key_bind \"^A\" \"a\"\n"
                                                 "key_prefix \"^K\" ; a comment after a command\n"
                                                 "$D\n key_bind \"^B\" \"b\"\n"
                                                 "$U\nkey_bind \"^C\" \"c\"\r\n"
                                                 "$\nkey_bind \"^D\" \"d\"\n"
                                                 "  $*\n\n   \t\n   ;key_bind \"^E\" \"e\"\n"
                                                 "key_bind \"^F\" \"f\"\n"
                                                 "$DOS\nkey_bind \"^G\" \"g\"\n"
                                                 "$DU\n\tkey_bind \"^H\" \"h\"\n"
                                                 "$ u\nkey_bind \"^I\" \"i\"\n"
                                                 "$U\nkey_bind \"^K ^X\" \"x\""); // no newline
    read_ini_file(dir.path("ox.ini").c_str());
    std::string bound;
    for (int i = 0; i < n_bindings; i++) bound += bindings[i].action + std::string(",");
    EXPECT_EQ(bound, ",c,f,h,x,");
    EXPECT_TRUE(is_prefix_key(CTRL_K));
}

} // namespace
