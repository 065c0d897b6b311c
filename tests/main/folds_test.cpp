// Virtual folds through a terminal, with the keys of the shipped ox.ini: F3
// in, F4 out; the rows, line numbers and questions a user sees, and the
// files written. (Moving through folds is tested by the fold commands'
// tests.)
#include "main/ox_session.h"

#include <filesystem>

namespace {

using names = std::set<std::string>;
using namespace ox_e2e::keys;

// Status row 0: the shipped ox.ini's language "c" for the ".c" files.
std::string status(const std::string &name, int line, int col) {
    return ox_e2e::status_row(name, line, col, name.ends_with(".c") ? "c" : "top");
}

// A closed virtual fold marker of the language "top" for a file name.
std::string virtual_fold(const std::string &name) {
    std::string line = "/*...v";
    for (unsigned char c : name)
        line += std::isalnum(c) ? std::string(1, c) : "\\" + std::to_string(c) + "\\";
    return line + ":0:*/\n";
}

using VirtualFolds = ox_e2e::OxTest;

TEST_F(VirtualFolds, EnteringAskingWritingAndFailing) {
    std::filesystem::create_directory(files.path("sub"));
    const std::string x = "x one\nx two\n";
    write("sub/x.c", x, 0600);
    write("long.c", std::string(600, 'l') + "\n");
    write("main.c", virtual_fold("sub/x.c") + virtual_fold("missing.c") + virtual_fold("long.c"));
    start({"main.c"});
    ASSERT_TRUE(session->wait_row(4, "::: sub/x.c"));
    // clang-format off
    ASSERT_TRUE(play({
        // Unchanged: nothing is asked.
        {f3, 4, "x one"}, {"", 0, status("sub/x.c", 1, 1)},
        {f4, 12, "::: sub/x.c"}, {"", 2, ""},
        // Changed: no discards, yes writes keeping a backup and the mode.
        {f3 + "A", 4, "Ax one"}, {f4, 2, "sub/x.c not written, write: yes no"},
        {"n\r", 12, "::: sub/x.c"}, {"", 2, ""}}));
    EXPECT_EQ(read("sub/x.c"), x);
    ASSERT_TRUE(play({
        {f3 + "B", 4, "Bx one"}, {f4, 2, "sub/x.c not written, write: yes no"},
        {"\r", 12, "::: sub/x.c"}, {"", 2, ""},
        // A file that is not there; one whose long line is split. (Names
        // from the environment are resolved in tests/commands.)
        {down + f3, 2, "can't open missing.c"}, {"", 4, "^"}, {f4, 12, "::: missing.c"},
        {down + f3, 2, "warning: long lines split in long.c"},
        {down + "L\v\x13", 2, "long.c: long lines will be split, write anyway: no yes"},
        {"y\rM\v\x13" + f4, 12, "::: long.c"}})) << "asked once";
    EXPECT_EQ(read("sub/x.c"), "Bx one\nx two\n");
    EXPECT_EQ(read("sub/x.bak"), x);
    EXPECT_EQ(test_support::permissions(files.path("sub/x.c")), 0600);
    EXPECT_EQ(read("missing.c"), "<missing>");
    EXPECT_EQ(read("long.c"), std::string(500, 'l') + "\nLM" + std::string(100, 'l') + "\n");

    // A write that fails leaves the child current with its text.
    ASSERT_TRUE(play({{up + up + f3 + "C", 4, "CBx one"}}));
    std::filesystem::remove_all(files.path("sub"));
    ASSERT_TRUE(play({{f4, 2, "sub/x.c not written, write: yes no"}, {"\r", 2, "can't write sub/x.c"},
                      {"", 0, status("sub/x.c", 1, 2)}, {"D", 4, "CDBx one"}}));
    // clang-format on
    session->type("\v\x11\r"); // ^K Q, sure: yes
    EXPECT_TRUE(session->wait_exit(1));
}

TEST_F(VirtualFolds, AFileAlreadyInMemoryIsAdoptedOrReadAgain) {
    write("main.c", virtual_fold("other.c") + "main text\n");
    write("other.c", "other text\n");
    const std::string asked = "already have file in memory, use existing copy: yes no";
    start({"-l", "main.c", "other.c"});
    ASSERT_TRUE(session->wait_row(4, ">>> main.c"));
    // clang-format off
    ASSERT_TRUE(play({
        // The buffer loaded at start-up becomes a child.
        {f3, 2, asked}, {"\r", 4, "::: other.c"}, {"", 0, status("main.c", 1, 1)},
        // No reads the file into a buffer of its own, whose changes are
        // then thrown away.
        {f3, 2, asked}, {"n\r", 4, "other text"}, {"X", 4, "Xother text"},
        {f4, 2, "other.c not written, write: yes no"}, {"n\r", 12, "::: other.c"},
        // Yes takes the copy loaded at start-up, which never changed.
        {f3, 2, asked}, {"\r", 4, "other text"}, {"", 0, status("other.c", 1, 1)},
        {f4, 12, "::: other.c"}, {f4, 12, ">>> main.c"}}));
    // clang-format on
    EXPECT_TRUE(leave());
    EXPECT_EQ(read("other.c"), "other text\n");
    EXPECT_EQ(files.names(), (names{"main.c", "other.c"}));
}

} // namespace
