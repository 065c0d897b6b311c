// Running command texts: commands in turn, comments, the exit flag, errors
// that abandon the rest of a text, and the raising of errors. Nested runs:
// line_exec in lines_test.cpp.
#include "commands_fixture.h"

#include "text/fold_file.h"

namespace {

using Executor = CommandsTest;

// Each text runs on an empty binding table: "1" when it ran to its end, else
// "0" and the error, then the actions bound.
TEST_F(Executor, CommandsRunInTurnUntilTheEndACommentTheExitOrAnError) {
    const std::string a496(LINE_MAX_TEXT - 16, 'a'); // the closing quote is byte 500
    const struct {
        std::string text, result;
    } cases[] = {
        {"key_bind \"^A\" \"a\"\tkey_bind \"^B\"\"b\" ; key_bind \"^C\" \"c\"", "1 a,b,"},
        {"", "1 "},
        {" \t ; key_bind \"^D\" \"d\"", "1 "},
        {"other_exit no other_abort no key_bind \"^A\" \"a\"", "1 a,"},
        {"other_exit yes key_bind \"^A\" \"a\"", "1 "},
        {"key_bind \"^A\" \"" + a496 + "\"", "1 " + a496 + ","},
        {"key_bind \"^A\" \"" + a496 + "a\"", "0 bad string "}, // its closing quote was cut off
        {"key_bind \"^A\" \"a\" key_bind \"Nope\" \"b\" key_bind \"^C\" \"c\"",
         "0 bad key name a,"},
        {"nothing_such", "0 command not found "},
        {"search_again", "0 command not found "}, // no handler yet
        {"key_bind", "0 insufficient arguments "},
        {"key_bind \"^B\"   ", "0 insufficient arguments "},
        {"key_bind \"^B\" 'b'", "0 bad string "},
        {"key_bind \"^D\" \"d\"x key_bind \"^E\" \"e\"", "0 command not found d,"},
        {"other_exit Yes", "0 bad yes/no flag "},
    };
    for (const auto &c : cases) {
        clear_bindings();
        exit_flag = 0;
        std::string result =
            exec_commands(c.text.c_str()) ? "1 " : "0 " + std::string(last_error()) + " ";
        for (int i = 0; i < n_bindings; i++) result += bindings[i].action + std::string(",");
        EXPECT_EQ(result, c.result) << c.text;
    }
    EXPECT_EQ(ret_code, 0);
}

TEST_F(Executor, TheTextIsCopiedBeforeItRuns) {
    // The first command frees the very text being run; the second still runs.
    exec_commands(R"(key_bind "^A" "key_bind \"^A\" \"gone\" key_bind \"^B\" \"b\"")");
    ASSERT_EQ(exec_commands(bindings[find_binding(1, 0)].action), 1);
    EXPECT_EQ(action_of(1), "gone");
    EXPECT_EQ(action_of(2), "b");
}

TEST(Errors, EachRaiserCarriesWhatItShows) {
    EXPECT_EQ(error_of([] { error_code(ERR_BAD_SUBSTITUTION); }), "bad substitution");
    EXPECT_EQ(error_of([] { error_code(48); }), "") << "codes beyond the table show nothing";
    EXPECT_EQ(error_of([] { error_text("anything at all"); }), "anything at all");
    EXPECT_STREQ(last_error(), "anything at all");
    // The whole of a 500-byte name is kept, though the prompt line shows less.
    std::string name(500, 'n');
    EXPECT_EQ(error_of([&] { error_file(ERR_CANT_OPEN, name.c_str()); }), "can't open " + name);
    const int codes[] = {
        ERR_MEMORY_READING, 0, ERR_FOLD_STRUCTURE, ERR_FOLD_STRUCTURE, ERR_CANT_OPEN,
        ERR_FOLD_STRUCTURE, 0};
    for (rdfail = 0; rdfail < 7; rdfail++) EXPECT_EQ(read_fail_code(), codes[rdfail]) << rdfail;
}

} // namespace
