// Command texts: running them, their arguments in written form (asked for
// with "?": the sessions through a terminal), key bindings and the
// initialisation file (its messages: tests/main).
#include "argument_reader.h"
#include "commands_fixture.h"

#include "commands/ini_file.h"
#include "display/keys.h"
#include "support/scratch.h"

namespace {

using Executor = CommandsTest;

// The actions bound, in the table's order.
std::string bound() {
    std::string s;
    for (int i = 0; i < n_bindings; i++) s += bindings[i].action + std::string(",");
    return s;
}

// Each text runs on an empty binding table: "1" when it ran to its end, else
// "0" and the error, then the actions bound in their order.
TEST_F(Executor, CommandsRunInTurnUntilTheEndACommentTheExitOrAnError) {
    const std::string a496(LINE_MAX_TEXT - 16, 'a'); // the closing quote is byte 500
    const struct {
        std::string text, result;
    } cases[] = {
        {"key_bind \"^A\" \"a\"\tkey_bind \"^B\"\"b\" ; key_bind \"^C\" \"c\"", "1 a,b,"},
        {"other_exit no other_abort no key_bind \"^A\" \"a\"", "1 a,"},
        {"other_exit yes key_bind \"^A\" \"a\"", "1 "},
        {"key_bind \"^A\" \"" + a496 + "\"", "1 " + a496 + ","},
        {"key_bind \"^A\" \"" + a496 + "a\"", "0 bad string "}, // its closing quote was cut off
        {"key_bind \"^A\" \"a\" key_bind \"Nope\" \"b\" key_bind \"^C\" \"c\"",
         "0 bad key name a,"},
        {"key_bind \"^B\"   ", "0 insufficient arguments "},
        {"key_bind \"^D\" \"d\"x key_bind \"^E\" \"e\"", "0 command not found d,"},
        // Binding a key again replaces its action in place; a prefix key
        // replaces its own binding and takes a second key.
        {R"(key_bind "^A" "a" key_bind "^B" "b" key_bind " ^A" "c")", "1 c,b,"},
        {R"(key_bind "^K" "x" key_prefix " ^K" key_bind "^K  ^X" "y" key_bind "^K ^A" "z")",
         "1 ,y,z,"},
        {R"(key_bind "^k" "a")", "0 bad key name "},                  // names are case-sensitive
        {R"(key_prefix "^K" key_bind "^K" "a")", "0 bad key name ,"}, // a prefix needs a second key
        {R"(key_prefix "^A ")", "0 bad key name "}, // the rest of the text is the name
    };
    for (const auto &c : cases) {
        clear_bindings();
        exit_flag = 0;
        std::string result =
            exec_commands(c.text.c_str()) ? "1 " : "0 " + std::string(last_error()) + " ";
        EXPECT_EQ(result + bound(), c.result) << c.text;
    }
    EXPECT_EQ(ret_code, 0);
}

TEST_F(Executor, TheTextIsCopiedBeforeItRuns) {
    // The first command frees the very text being run; the second still runs.
    exec_commands(R"(key_bind "^A" "key_bind \"^A\" \"gone\" key_bind \"^B\" \"b\"")");
    ASSERT_EQ(exec_commands(bindings[find_binding(1, 0)].action), 1);
    EXPECT_STREQ(bindings[0].action, "gone");
    EXPECT_STREQ(bindings[1].action, "b");
}

TEST(Errors, ACodeBeyondTheTableShowsNothingAndANameIsKeptWhole) {
    EXPECT_EQ(error_of([] { error_code(ERROR_CODES); }), "");
    std::string name(500, 'n');
    EXPECT_EQ(error_of([&] { error_file(ERR_CANT_OPEN, name.c_str()); }), "can't open " + name);
}

using Arguments = CommandsTest;

TEST_F(Arguments, EachTypeWrittenAndItsErrors) {
    ASSERT_NE(buff_create("dir/file.c", -1, top), nullptr);
    ASSERT_NE(lang_create("c", "/*", "*/", ".*\\.c", "", 0), nullptr);
    // Numbers keep 32 bits, as the scanner does; strings have no escapes but
    // the literal next character; the first buffer has no name.
    const struct {
        char type;
        const char *text, *result;
    } rows[] = {
        // clang-format off
        {'n', "&1f rest", "31| rest"}, {'n', "&g", "0|g"}, {'n', "4294967306", "10|"},
        {'n', "x", "!bad number"}, {'n', "-1", "!bad number"},
        {'s', R"("\n\\")", "n\\|"}, {'s', R"("a\"b";z)", "a\"b|;z"}, {'s', "abc", "!bad string"},
        {'s', "\"ab", "!bad string"}, {'s', R"("ab\")", "!bad string"},
        {'c', "'''", "39|"}, {'c', "'a'b", "97|b"}, {'c', "&41", "65|"}, {'c', "'", "!bad character"},
        {'c', "'ab'", "!bad character"}, {'c', "\"x\"", "!bad character"},
        {'y', "no\tx", "0|\tx"}, {'y', "Yes", "!bad yes/no flag"}, {'w', "always x", "2| x"},
        {'w', "if-open", "!bad search criterion"},
        {'b', ". x", "| x"}, {'b', R"("dir/file.c")", "dir/file.c|"}, {'b', "\"f.c\"", "!bad buffer"},
        {'l', R"("c";)", "c|;"}, {'l', R"("C")", "!bad language"},
        // clang-format on
    };
    for (const auto &r : rows) EXPECT_EQ(read_argument(r.type, r.text), r.result) << r.text;

    // A string longer than a command text could overflow the argument's
    // buffer: it is refused.
    std::string text = "\"" + std::string(LINE_MAX_TEXT - 2, 's') + "\"";
    EXPECT_EQ(read_argument('s', text.c_str()), std::string(LINE_MAX_TEXT - 2, 's') + "|");
    text.insert(1, "ss");
    EXPECT_EQ(read_argument('s', text.c_str()), "!bad string");
}

using Bindings = CommandsTest;

TEST_F(Bindings, TheTwoHundredAndFiftyFirstPairIsRefused) {
    for (int k = 0; k < MAX_BINDINGS; k++)
        ASSERT_EQ(error_of([k] { bind_key(K_F1, k, "page_up"); }), "") << k;
    EXPECT_EQ(error_of([] { bind_key(K_F1, MAX_BINDINGS, "page_down"); }), "too many bindings");
    EXPECT_EQ(n_bindings, MAX_BINDINGS);
    EXPECT_EQ(find_binding(K_F1, MAX_BINDINGS), -1);
    // A pair bound already still takes a new action in a full table.
    EXPECT_EQ(error_of([] { bind_key(K_F1, MAX_BINDINGS - 1, "page_down"); }), "");
    EXPECT_STREQ(bindings[MAX_BINDINGS - 1].action, "page_down");
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
    EXPECT_EQ(bound(), ",c,f,h,x,") << "the prefix first, bound to nothing";
}

} // namespace
