// Folds and virtual folds through a terminal, with the keys of the shipped
// ox.ini: F3 in, F4 out, F2 open or close; the rows, line numbers and
// questions a user sees, and the files written.
#include "main/ox_session.h"

#include <filesystem>

namespace {

using names = std::set<std::string>;
using namespace ox_e2e::keys;

// Status row 0: the shipped ox.ini's language "c" for the ".c" files.
std::string status(const std::string &name, int line, int col) {
    return ox_e2e::status_row(name, line, col, name.ends_with(".c") ? "c" : "top");
}

// Status row 1 in a ".c" file: the fold's name and the settings, tab size 4.
std::string fold_row(const std::string &name) {
    std::string row = name + ox_e2e::insert_mode.substr(name.size());
    return row.substr(0, row.size() - 2) + "4";
}

// A closed virtual fold marker of the language "top" for a file name.
std::string virtual_fold(const std::string &name) {
    std::string line = "/*...v";
    for (unsigned char c : name)
        line += std::isalnum(c) ? std::string(1, c) : "\\" + std::to_string(c) + "\\";
    return line + ":0:*/\n";
}

// The whole screen: the status rows, the prompt line, then the text rows
// from row 3, with "~" on the rows after them.
std::vector<std::string> screen(std::vector<std::string> rows) {
    rows.resize(24, "~");
    return rows;
}

using Folds = ox_e2e::OxTest;

TEST_F(Folds, InAndOutOfNestedFoldsAndBackToTheListOfFiles) {
    const std::string text = "top line\n/*...sone:0:*/\nin one\n/*...Stwo:0:*/\nin two\n"
                             "/*...sthree:0:*/\nin three\n/*...e*/\n/*...e*/\n/*...e*/\nlast\n";
    write("nest.c", text, 0640);
    start({"nest.c"});
    ASSERT_TRUE(session->wait_row(2, ox_e2e::banner));
    // clang-format off
    ASSERT_TRUE(play({{down + f3, 1, fold_row("one")},
                      {"", 0, status("nest.c", 3, 1)},
                      {down + f3, 1, fold_row("two")},
                      {down + f3, 4, "in three"},
                      {"", 0, status("nest.c", 7, 1)}}));
    ASSERT_TRUE(session->wait_screen(screen({status("nest.c", 7, 1), fold_row("three"), "", "~", "in three", "^"})));
    // Out to the fold line, shown mid-screen; in again starts at the top.
    ASSERT_TRUE(play({{f4, 12, "... three"}, {"", 0, status("nest.c", 6, 1)},
                      {f4, 12, "{{{ two"}, {"", 0, status("nest.c", 4, 1)},
                      {f3, 4, "in two"}, {"", 0, status("nest.c", 5, 1)},
                      {f4 + f4, 12, "... one"}}));
    ASSERT_TRUE(session->wait_screen(screen({status("nest.c", 2, 1), fold_row(""), "", "~", "~", "~",
                                             "~", "~", "~", "~", "~", "top line", "... one",
                                             "last", "^"})))
        << "entering a closed fold does not open it";
    // Opening a fold shows its contents in place, and is a change to save.
    ASSERT_TRUE(play({{f2, 2, "open: yes no"}, {"\r", 12, "{{{ one"}, {"", 18, "}}}"},
                      {f4, 2, "nest.c not written, write: yes no"},
                      {"\r", 12, ">>> nest.c"}, {"", 0, status("", 1, 1)},
                      {f4, 2, "fold has no parent"}}));
    // clang-format on
    EXPECT_TRUE(leave());
    EXPECT_EQ(read("nest.c"), "top line\n/*...Sone:0:*/\nin one\n/*...Stwo:0:*/\nin two\n"
                              "/*...sthree:0:*/\nin three\n/*...e*/\n/*...e*/\n/*...e*/\nlast\n");
    EXPECT_EQ(read("nest.bak"), text);
    EXPECT_EQ(test_support::permissions(files.path("nest.c")), 0640);
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
        {down + "L\v\x13", 2, "long.c: long lines will be split, write anyway: yes no"},
        {"\rM\v\x13" + f4, 12, "::: long.c"}})) << "asked once";
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
