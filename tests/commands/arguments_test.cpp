// Command arguments in their written forms; asking for them with "?" is
// tested through a terminal (terminal_test.cpp).
#include "argument_reader.h"
#include "commands_fixture.h"

namespace {

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
        {'n', "12x", "12|x"}, {'n', "&1f rest", "31| rest"}, {'n', "&", "0|"}, {'n', "&g", "0|g"},
        {'n', "4294967295", "-1|"}, {'n', "x", "!bad number"}, {'n', "-1", "!bad number"},
        {'s', R"("abc" "def")", R"(abc| "def")"}, {'s', R"("")", "|"}, {'s', R"("\n\\")", "n\\|"},
        {'s', R"("a\"b";z)", "a\"b|;z"}, {'s', "abc", "!bad string"}, {'s', "\"ab", "!bad string"},
        {'s', R"("ab\")", "!bad string"}, {'s', R"("\)", "!bad string"},
        {'c', "'x'", "120|"}, {'c', "'''", "39|"}, {'c', "' ' z", "32| z"}, {'c', "'a'b", "97|b"},
        {'c', "65", "65|"}, {'c', "&41", "65|"}, {'c', "321", "65|"}, {'c', "'", "!bad character"},
        {'c', "'ab'", "!bad character"}, {'c', "''", "!bad character"},
        {'c', "\"x\"", "!bad character"},
        {'y', "yes", "1|"}, {'y', "no\tx", "0|\tx"}, {'y', "Yes", "!bad yes/no flag"},
        {'y', "yes;", "!bad yes/no flag"},
        {'w', "never", "0|"}, {'w', "if_open", "1|"}, {'w', "always x", "2| x"},
        {'w', "if-open", "!bad search criterion"}, {'w', "yes", "!bad search criterion"},
        {'b', ". x", "| x"}, {'b', R"("dir/file.c")", "dir/file.c|"},
        {'b', "\"f.c\"", "!bad buffer"},
        {'b', "\"a\x01\"", "!bad buffer"}, {'b', "a", "!bad string"},
        {'l', ".", "top|"}, {'l', R"("c";)", "c|;"}, {'l', R"("C")", "!bad language"},
        {'l', "top", "!bad string"},
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

} // namespace
