#include "commands_owner.h"

#include "commands/ini_file.h"
#include "display/keys.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// An initialisation file in a directory of its own, removed afterwards.
class IniFile : public CommandsTest {
  protected:
    void SetUp() override {
        CommandsTest::SetUp();
        char pattern[] = "/tmp/ox_ini_testXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        name = dir + "/ox.ini";
    }
    void TearDown() override {
        std::remove(name.c_str());
        rmdir(dir.c_str());
        CommandsTest::TearDown();
    }
    void write(const std::string &text) { std::ofstream(name, std::ios::binary) << text; }

    std::string dir, name;
};

TEST_F(IniFile, SectionsSwitchReadingOffAndOn) {
    write("key_bind \"^A\" \"a\"\n"
          "$D\n"
          "key_bind \"^B\" \"b\"\n"
          "$U\n"
          "key_bind \"^C\" \"c\"\n"
          "$\n"
          "key_bind \"^D\" \"d\"\n"
          "  $*\n"
          "key_bind \"^E\" \"e\"\n"
          "$DOS\n"
          "key_bind \"^F\" \"f\"\n"
          "$DU\n"
          "key_bind \"^G\" \"g\"\n"
          "$ u\n"
          "key_bind \"^H\" \"h\"\n");
    read_ini_file(name.c_str());
    std::string bound;
    for (int i = 0; i < n_bindings; i++) bound += bindings[i].action;
    EXPECT_EQ(bound, "aceg");
}

TEST_F(IniFile, CommentsBlankLinesAndLineEnds) {
    write("; key_bind \"^A\" \"a\"\n"
          "   ;key_bind \"^B\" \"b\"\n"
          "\n"
          "   \t\n"
          "key_prefix \"^K\" ; a comment after a command\n"
          "key_bind \"^K ^X\" \"other_exit yes\"\r\n"
          "\tkey_bind \"^C\" \"c\"");
    read_ini_file(name.c_str());
    EXPECT_EQ(n_bindings, 3);
    EXPECT_EQ(action_of(11), "");
    EXPECT_TRUE(is_prefix_key(11));
    EXPECT_EQ(action_of(11, 24), "other_exit yes");
    EXPECT_EQ(action_of(3), "c") << "a last line without a newline";
}

TEST(DefaultBindings, TwentyThreeInOrder) {
    clear_bindings();
    apply_default_bindings();
    ASSERT_EQ(n_bindings, N_DEFAULT_BINDINGS);
    const char *keys = "ACDEFGHILMNOPRSTUVWYXZK";
    for (int i = 0; i < N_DEFAULT_BINDINGS; i++) {
        EXPECT_EQ(bindings[i].key1, keys[i] & 0x1F) << i;
        EXPECT_EQ(bindings[i].key2, 0) << i;
        EXPECT_STREQ(bindings[i].action, default_bindings[i].action) << i;
    }
    EXPECT_STREQ(bindings[find_binding(11, 0)].action, "other_exit yes");
    EXPECT_STREQ(bindings[find_binding(1, 0)].action, "word_left");
    EXPECT_STREQ(bindings[find_binding(26, 0)].action, "page_scroll_up");
    clear_bindings();
}

} // namespace
