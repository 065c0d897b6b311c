#include "commands_owner.h"

#include "commands/arguments.h"
#include "commands/command_table.h"
#include "commands/executor.h"

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(CommandTable, NamesInOrderAndArguments) {
    std::set<std::string> names;
    for (const COMMAND &c : cmd_table) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        EXPECT_EQ(lookup_command(c.name), &c - cmd_table);
        ASSERT_GE(c.n_args, 0);
        ASSERT_LE(c.n_args, MAX_ARGS);
        EXPECT_EQ(c.args == nullptr, c.n_args == 0) << c.name;
        for (int a = 0; a < c.n_args; a++) {
            EXPECT_GE(c.args[a].type, ARG_NUMBER) << c.name;
            EXPECT_LE(c.args[a].type, ARG_WHEN) << c.name;
            size_t n = std::strlen(c.args[a].prompt);
            EXPECT_TRUE(n > 2 && std::strcmp(c.args[a].prompt + n - 2, ": ") == 0) << c.name;
        }
    }
    EXPECT_EQ(lookup_command("line_got"), -1);
    EXPECT_EQ(lookup_command("Line_goto"), -1);

    const COMMAND &language = cmd_table[lookup_command("language_create")];
    ASSERT_EQ(language.n_args, 9);
    EXPECT_STREQ(language.args[8].prompt, "word seperators: ");
}

using Executor = CommandsTest;

TEST_F(Executor, CommandsRunInTurnAndCommentsEndTheText) {
    EXPECT_EQ(exec_commands(R"(key_bind "^A" "a"	key_bind "^B""b" ; key_bind "^C" "c")"), 1);
    EXPECT_EQ(action_of(1), "a");
    EXPECT_EQ(action_of(2), "b") << "nothing needs to separate two arguments";
    EXPECT_EQ(action_of(3), "<unbound>");
    EXPECT_EQ(exec_commands("  ; key_bind \"^D\" \"d\""), 1);
    EXPECT_EQ(exec_commands(""), 1);
    EXPECT_EQ(exec_commands(" \t "), 1);
    EXPECT_EQ(n_bindings, 2);
}

TEST_F(Executor, AnErrorAbandonsTheRestOfTheText) {
    EXPECT_EQ(exec_commands(R"(key_bind "^A" "a" key_bind "Nope" "b" key_bind "^C" "c")"), 0);
    EXPECT_STREQ(last_error(), "bad key name");
    EXPECT_EQ(action_of(1), "a") << "what ran before stays done";
    EXPECT_EQ(action_of(3), "<unbound>");

    const struct {
        const char *text;
        const char *error;
    } cases[] = {
        {"nothing_such", "command not found"},
        {"search_again", "command not found"}, // no handler yet
        {"key_bind", "insufficient arguments"},
        {"key_bind \"^D\"   ", "insufficient arguments"},
        {"key_bind \"^D\" 'd'", "bad string"},
        {"key_bind \"^D\" \"d\"x", "command not found"},
        {"key_bind \"^D\" \"d\" ;x", ""},
    };
    for (auto c : cases) {
        exec_commands("key_bind \"^Z\" \"untouched\"");
        EXPECT_EQ(exec_commands(c.text), *c.error == '\0') << c.text;
        if (*c.error != '\0') {
            EXPECT_STREQ(last_error(), c.error) << c.text;
        }
    }
    // The command before the word x ran.
    EXPECT_EQ(action_of(4), "d");
}

TEST_F(Executor, StringArgumentsUseTheirOwnBuffers) {
    ASSERT_EQ(error_of([] { exec_command(R"(key_bind "^A" "line_up")"); }), "");
    EXPECT_EQ(arg_val[0].str, arg_strs[0]);
    EXPECT_EQ(arg_val[1].str, arg_strs[1]);
    EXPECT_STREQ(arg_strs[0], "^A");
    EXPECT_STREQ(arg_strs[1], "line_up");
}

TEST_F(Executor, ExecCommandReturnsThePositionAfterTheArguments) {
    const char *text = "key_bind \"^A\" \"x\"   key_bind";
    const char *after = nullptr;
    EXPECT_EQ(error_of([&] { after = exec_command(text); }), "");
    EXPECT_STREQ(after, "   key_bind");
}

TEST_F(Executor, NothingRunsOnceTheExitFlagIsSet) {
    exit_flag = 1;
    EXPECT_EQ(exec_commands(R"(key_bind "^A" "a" key_bind "^B" "b")"), 1);
    EXPECT_EQ(n_bindings, 0);
}

TEST_F(Executor, TheTextIsCopiedBeforeItRuns) {
    // The first command frees the very text being run; the second still runs.
    exec_commands(R"(key_bind "^A" "key_bind \"^A\" \"gone\" key_bind \"^B\" \"b\"")");
    ASSERT_EQ(exec_commands(bindings[find_binding(1, 0)].action), 1);
    EXPECT_EQ(action_of(1), "gone");
    EXPECT_EQ(action_of(2), "b");
}

TEST_F(Executor, ATextIsCutAtFiveHundredBytes) {
    std::string action(LINE_MAX_TEXT - 16, 'a'); // the closing quote is byte 500
    std::string text = "key_bind \"^A\" \"" + action + "\"";
    ASSERT_EQ(text.size(), size_t(LINE_MAX_TEXT));
    EXPECT_EQ(exec_commands(text.c_str()), 1);
    EXPECT_EQ(action_of(1), action);
    text = "key_bind \"^B\" \"" + action + "a\"";
    EXPECT_EQ(exec_commands(text.c_str()), 0);
    EXPECT_STREQ(last_error(), "bad string") << "its closing quote was cut off";
}

TEST_F(Executor, NestedRunsKeepTheEnclosingRecoveryPoint) {
    std::string steps;
    int outer = run_with_recovery([&] {
        EXPECT_EQ(exec_commands(R"(key_bind "Nope" "x")"), 0);
        steps += "inner failed;";
        exec_command(R"(key_bind "^A" "a")");
        steps += "outer went on;";
        exec_command("unknown");
        steps += "never";
    });
    EXPECT_EQ(outer, 0);
    EXPECT_EQ(steps, "inner failed;outer went on;");
    EXPECT_STREQ(last_error(), "command not found");
    EXPECT_EQ(action_of(1), "a");
}

} // namespace
