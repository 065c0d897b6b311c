// The block commands: marks, folding and unfolding, shifting, translating,
// deleting and yanking, writing and reading files, and filters.
#include "commands_fixture.h"

#include "commands/block_files.h"
#include "host/process.h"
#include "support/scratch.h"

namespace {

using test_support::read_file;
using test_support::write_file;

class BlockCommands : public CommandsTest {
  protected:
    test_support::scratch_dir files;
};

const std::vector<std::string> five = {"a", "b", "c", "d", "e"};
const std::vector<std::string> folded = {"a", "[+f", "x", "[g", "y", "]", "]", "b"};

// The rows' last two numbers are the marks set before the command (none
// when left out).
TEST_F(BlockCommands, MarksFoldingAndUnfolding) {
    run_cases({
        // clang-format off
        {five, 1, 0, "block_mark_1 line_down line_down block_mark_2", "a,b,c,d,e, @3:0 r22 |1-3"},
        // Going to a mark keeps the row and the remembered column.
        {{"abc", "x", "defg"}, 2, 2, "block_to_mark_1", "abc,x,defg, @0:2 r6 |0-2", 0, 2},
        {five, 3, 0, "block_to_mark_1", "a,b,c,d,e, @3:0 r6 |-1-1 !not found", -1, 1},
        // Lines put in or taken out before a mark move it with its line; a
        // mark on a line taken out names the line after it.
        {five, 0, 0, "line_insert \"new\"", "new,a,b,c,d,e, @0:3 r6 * |2-4", 1, 3},
        {five, 1, 0, "line_delete", "a,c,d,e, @1:0 r6 * L |1-2", 1, 3},
        // Without a block nothing is done, not even running a command.
        {five, 0, 0, "block_delete", "a,b,c,d,e, @0:0 r6 |3-1 !no block", 3, 1},
        {five, 0, 0, "block_filter \"cat\"", "a,b,c,d,e, @0:0 r6 !no block"},
        // The cursor in the block or on the line after it: the fold takes
        // the block's place. The cursor goes to the end of the fold line.
        {five, 2, 1, "block_fold \"f\" yes 2", "a,[f 2 o:b,c,],d,e, @1:7 r6 *", 1, 3},
        {five, 3, 0, "block_fold \"f\" no 0", "a,[f 0 c:b,c,],d,e, @1:5 r6 *", 1, 3},
        // Elsewhere the block moves to the cursor.
        {five, 0, 0, "block_fold \"f\" no 0", "[f 0 c:b,c,],a,d,e, @0:5 r6 *", 1, 3},
        {five, 5, 0, "block_fold \"f\" no 0", "c,d,e,[f 0 c:a,b,], @3:5 r6 *", 0, 2},
        // Folds go into the new fold whole; an empty block makes an empty fold.
        {folded, 0, 0, "block_fold \"h\" no 0", "[h 0 c:[f 0 o:x,[g 0 c:y,],],b,],a, @0:5 r6 *", 1, 3},
        {five, 2, 0, "block_fold \"e\" no 0", "a,b,[e 0 c:],c,d,e, @2:5 r6 *", 2, 2},
        // Unfolding leaves the contents marked, the first current.
        {{"a", "[f", "1", "[g", "2", "]", "3", "<v", "]", "b"}, 1, 5, "block_unfold", "a,1,[g 0 c:2,],3,<v 0 c>,b, @1:0 r6 * |1-5"},
        {{"<v"}, 0, 0, "block_unfold", "<v 0 c>, @0:0 r6 !expected fold line"},
        // Folding then unfolding gives the lines back, marked.
        {folded, 2, 0, "block_fold \"t\" no 0 block_unfold", "a,[f 0 o:x,[g 0 c:y,],],b, @0:0 r6 * |0-2", 0, 2},
        // clang-format on
    });
}

TEST_F(BlockCommands, ShiftingTranslatingDeletingAndYanking) {
    const std::string long_line(497, 'x');
    const std::vector<std::string> mixed = {"ab", "", "\tcd", "[ f", "]", "< v", "ef"};
    run_cases({
        // clang-format off
        // Real tabs: a tab before text, 8 more indent for folds; empty lines
        // stay empty and the cursor stays on its character.
        {mixed, 0, 1, "block_entab", "\tab,,\t\tcd,[f 9 c:],<v 9 c>,\tef, @0:2 r6 * |0-6", 0, 6},
        {mixed, 2, 1, "block_detab", "ab,,cd,[f 1 c:],<v 1 c>,ef, @2:0 r6 * |0-6", 0, 6},
        // Tab size 4: four spaces, and 4 more indent.
        {mixed, 5, 2, "setup_tabs 4 block_entab", "    ab,,    \tcd,[f 5 c:],<v 5 c>,    ef, @5:6 r6 * |0-6", 0, 6},
        {{"      ab", "   c", "[     f", "]"}, 0, 7, "setup_tabs 4 block_detab", "  ab,   c,[f 5 c:], @0:3 r6 * |0-2", 0, 2},
        {{"[    f", "]"}, 0, 0, "setup_tabs 4 block_detab", "[f 0 c:], @0:0 r6 * |0-1", 0, 1},
        // A line that cannot take the prefix stops the shift before any line moves.
        {{"a", long_line, "b"}, 0, 0, "setup_tabs 4 block_entab", "a," + long_line + ",b, @0:0 r6 |0-3 !line too long", 0, 3},
        // An indent past 500 stays as it is, and the cursor with it.
        {{"[" + std::string(497, ' ') + "f", "]"}, 0, 503, "setup_tabs 4 block_entab", "[f 497 c:], @0:503 r6 * |0-1", 0, 1},
        // Translating takes text, fold names and virtual fold names.
        {{"abc", "[abc", "abc", "]", "<abc", "abc"}, 0, 0, "block_trans \"a-c\" \"A-C\"", "ABC,[ABC 0 c:abc,],<ABC 0 c>,abc, @0:0 r6 * |0-3", 0, 3},
        {five, 0, 0, "block_trans \"ab\" \"x\"", "a,b,c,d,e, @0:0 r6 |0-3 !translate strings not the same size", 0, 3},
        // Deleting pushes the block, undeleting brings it back marked at the
        // cursor; the cursor in the block goes to the line after it, one
        // already there stays where it was in the line.
        {five, 2, 1, "block_delete", "a,d,e, @1:0 r6 * B", 1, 3},
        {five, 3, 1, "block_delete", "a,d,e, @1:1 r6 * B", 1, 3},
        {five, 2, 0, "block_delete line_down other_undelete", "a,d,b,c,e, @2:0 r22 * |2-4", 1, 3},
        {five, 2, 0, "block_delete other_undelete", "a,b,c,d,e, @2:0 r6 * |2-2", 2, 2},
        // Yanking copies, deep; putting gives further copies.
        {folded, 3, 0, "block_yank other_put other_put", "a,[f 0 o:x,[g 0 c:y,],],b,[f 0 o:x,[g 0 c:y,],],b,[f 0 o:x,[g 0 c:y,],],b, @3:0 r6 * B |3-5", 1, 3},
        // clang-format on
    });
}

TEST_F(BlockCommands, WrittenBlocksReadBackAsTheyWere) {
    const std::string fn = files.path("part.c"), quoted = " \"" + fn + "\"";
    const std::string two_folds = "[f 0 o:x,[g 0 c:y,],],b,a,[f 0 o:x,[g 0 c:y,],],b, @";
    const std::string written = "/*...Sf:0:*/\nx\n/*...sg:0:*/\ny\n/*...e*/\n/*...e*/\nb\n";
    start(folded, 0, 0, 1, 3);
    ASSERT_EQ(run("block_write" + quoted + " no"), "a,[f 0 o:x,[g 0 c:y,],],b, @0:0 r6 |1-3");
    EXPECT_EQ(read_file(fn), written);
    EXPECT_EQ(run("block_read" + quoted), two_folds + "0:0 r6 * |0-2");
    // Appending adds to the end; writing replaces the file, keeping its mode.
    ASSERT_EQ(run("block_write" + quoted + " yes"), two_folds + "0:0 r6 * |0-2");
    EXPECT_EQ(read_file(fn), written + written);
    chmod(fn.c_str(), 0640);
    ASSERT_EQ(
        run("line_down block_mark_1 line_down line_down block_mark_2 block_write" + quoted + " no"),
        two_folds + "3:0 r22 * |1-3");
    EXPECT_EQ(read_file(fn), "b\na\n");
    EXPECT_EQ(test_support::permissions(fn), 0640);
    EXPECT_EQ(files.names(), std::set<std::string>{"part.c"}) << "no backup";
    // Indents in the file count from the block's list.
    start({"[ a", "[  b", "]", "]"}, 0);
    ASSERT_EQ(run("fold_in block_mark_1 line_down block_mark_2 block_write" + quoted + " no"),
              "[b 2 c:], @1:0 r22 |0-1");
    EXPECT_EQ(read_file(fn), "/*...sb:2:*/\n/*...e*/\n");
}

TEST_F(BlockCommands, FailedReadsAndWritesChangeNothing) {
    const std::string fn = files.path("f.c"), gone = files.path("gone/f.c");
    const std::string unchanged = "a,b,c,d,e, @2:0 r6 |1-3";
    write_file(fn, "old text\n");
    start(five, 2, 0, 1, 3);
    for (const std::string &text :
         {"block_read \"" + gone + "\"", "block_write \"" + gone + "\" no",
          "block_write \"" + gone + "\" yes"})
        EXPECT_EQ(run(text),
                  unchanged + (text[6] == 'r' ? " !can't open " : " !can't write ") + gone);
    EXPECT_EQ(run("block_read \"a\tb\""), unchanged + " !bad filename a\tb");
    {
        test_support::file_size_limit limit(3);
        EXPECT_EQ(run("block_write \"" + fn + "\" no"), unchanged + " !can't write " + fn);
    }
    EXPECT_EQ(read_file(fn), "old text\n");
    EXPECT_EQ(files.names(), std::set<std::string>{"f.c"}) << "nothing is left beside it";
    // A file that is not a whole fold structure is not read at all.
    for (const char *text : {"new\n/*...Sopen:0:*/\ninside\n", "new\n/*...e*/\n"}) {
        write_file(fn, text);
        EXPECT_EQ(run("block_read \"" + fn + "\""),
                  unchanged + " !fold structure corrupt in " + fn);
    }
}

// Filters: run at once, as there is no terminal to hand over, or not at all
// (nothing runs). Both note the files they are given, which must be gone
// afterwards.
std::string filter_in, filter_out;

int filter_here(const char *command, const char *in, const char *out) {
    filter_in = in;
    filter_out = out;
    return command[0] ? xfilter(command, in, out) : 0;
}

TEST_F(BlockCommands, FiltersReplaceTheBlockWithTheirOutput) {
    const struct {
        std::vector<std::string> outline;
        int index, mark1, mark2;
        const char *command; // "" cannot start
        std::string state;
    } cases[] = {
        // clang-format off
        // The output becomes the marked block in the block's place; the old
        // block goes onto the undelete stack. Fold markers pass through.
        {{"z", "c", "a", "b", "e"}, 1, 0, 4, "sort", "a,b,c,z,e, @0:0 r6 * B |0-4"},
        {{"x", "[f", "y", "]", "z"}, 2, 0, 2, "tr a-z A-Z", "X,[F 0 o:Y,],z, @0:0 r6 * B |0-2"},
        // With the cursor elsewhere the output goes to the cursor.
        {five, 4, 0, 2, "cat", "c,d,a,b,e, @2:0 r6 * B |2-4"},
        // Nothing printed: the block is gone, leaving an empty marked block.
        {five, 1, 1, 3, "true", "a,d,e, @1:0 r6 * B |1-1"},
        // A command that fails has run: its messages are the output.
        {five, 1, 1, 3, "echo oops >&2; exit 3", "a,oops,d,e, @1:0 r6 * B |1-2"},
        // Output that is not a whole fold structure leaves the block alone.
        {five, 1, 1, 3, "echo '/*...e*/'", "a,b,c,d,e, @1:0 r6 |1-3 !fold structure corrupt in temporary file"},
        {five, 1, 1, 3, "", "a,b,c,d,e, @1:0 r6 |1-3 !command failure"},
        // clang-format on
    };
    auto filter = [](const char *command) {
        filter_in = filter_out = "";
        return run_with_recovery([&] { block_filter_with(command, filter_here); });
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        start(c.outline, c.index, 0, c.mark1, c.mark2);
        int ok = filter(c.command);
        EXPECT_EQ(state() + (ok ? "" : std::string(" !") + last_error()), c.state);
        EXPECT_EQ(read_file(filter_in) + read_file(filter_out), "<missing><missing>");
    }
    // A restricted editor runs no command, neither a filter nor a shell's.
    restricted = 1;
    EXPECT_EQ(filter("cat"), 0);
    EXPECT_EQ(state() + " " + last_error() + filter_in,
              "a,b,c,d,e, @1:0 r6 |1-3 can't run command from restricted editor");
    EXPECT_EQ(run("other_shell \"touch ran\""),
              "a,b,c,d,e, @1:0 r6 |1-3 !can't run command from restricted editor");
    restricted = 0;
}

} // namespace
