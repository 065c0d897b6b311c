// The fold commands: moving through the fold tree, opening and closing folds.
#include "commands_fixture.h"

#include "support/scratch.h"

namespace {

using FoldCommands = CommandsTest;

const std::vector<std::string> three_deep = {"a", "[f1", "x", "[+f2", "y", "[f3",
                                             "z", "]",   "]", "]",    "b"};

TEST_F(FoldCommands, InAndOutThroughNestedFolds) {
    run_cases({
        // clang-format off
        // In at the first line of each fold, on the top row; out to the fold
        // line, in the middle of the screen; the line number follows.
        {three_deep, 1, 0, "fold_in", "x,[f2 0 o:y,[f3 0 c:z,],], @0:0 r4"},
        {three_deep, 1, 0, "fold_in line_down fold_in line_down fold_in fold_out",
         "y,[f3 0 c:z,], @1:0 r12"},
        {three_deep, 1, 0, "fold_in line_down fold_in fold_out fold_out",
         "a,[f1 0 c:x,[f2 0 o:y,[f3 0 c:z,],],],b, @1:0 r12"},
        // In again starts at the first line whatever the fold's cursor was.
        {three_deep, 1, 0, "fold_in fold_end fold_out fold_in", "x,[f2 0 o:y,[f3 0 c:z,],], @0:0 r4"},
        {three_deep, 0, 0, "fold_in", "a,[f1 0 c:x,[f2 0 o:y,[f3 0 c:z,],],],b, @0:0 r6 !expected fold or virtual fold line"},
        {three_deep, 0, 0, "fold_out", "a,[f1 0 c:x,[f2 0 o:y,[f3 0 c:z,],],],b, @0:0 r6 !fold has no parent"},
        // Opening is an edit of the file.
        {three_deep, 1, 0, "fold_open yes", "a,[f1 0 o:x,[f2 0 o:y,[f3 0 c:z,],],],b, @1:0 r6 *"},
        {{"<lib.c"}, 0, 0, "fold_open yes fold_open no", "<lib.c 0 c>, @0:0 r6 *"},
        {three_deep, 2, 0, "fold_open yes", "a,[f1 0 c:x,[f2 0 o:y,[f3 0 c:z,],],],b, @2:0 r6 !expected fold or virtual fold line"},
        // The ends of the list.
        {three_deep, 1, 3, "fold_end", "a,[f1 0 c:x,[f2 0 o:y,[f3 0 c:z,],],],b, @3:0 r22"},
        {three_deep, 2, 1, "fold_start", "a,[f1 0 c:x,[f2 0 o:y,[f3 0 c:z,],],],b, @0:0 r4"},
        // clang-format on
    });
}

// Virtual folds named relative to the file that holds them, main.c in a
// scratch folder (not the working folder), or through the environment.
TEST_F(FoldCommands, VirtualFoldNamesAreResolvedFromTheFileThatHoldsThem) {
    test_support::scratch_dir files;
    std::filesystem::create_directory(files.path("sub"));
    test_support::write_file(files.path("sub/x.c"), "x1\n/*...sin x:0:*/\nx2\n/*...e*/\n");
    test_support::write_file(files.path("y.c"), "y1\n");
    test_support::env_var dir("OX_TEST_DIR", files.path());
    build({"a", "<sub/x.c", "<$(OX_TEST_DIR)/y.c the y file", "<missing.c"});
    std::strcpy(cur_buffer->fn, files.path("main.c").c_str());
    // The current buffer's file within the folder, the state, the buffers.
    auto in = [&](const std::string &text) {
        std::string s = run(text), fn = cur_buffer->fn;
        return fn.substr(files.path().size() + 1) + ": " + s + " in " + std::to_string(n_buffs);
    };
    const std::string main = "main.c: a,<sub/x.c 0 c>,<$(OX_TEST_DIR)/y.c the y file 0 c>,";
    EXPECT_EQ(in("line_down fold_in"), "sub/x.c: x1,[in x 0 c:x2,], @0:0 r4 in 2");
    // Out of a fold of the child, then out of the child, which goes.
    EXPECT_EQ(in("line_down fold_in fold_out fold_out"), main + "<missing.c 0 c>, @1:0 r12 in 1");
    EXPECT_EQ(in("line_down fold_in"), "y.c: y1, @0:0 r4 in 2");
    // A file that is not there gives an empty child, to leave.
    EXPECT_EQ(in("fold_out line_down fold_in"),
              "missing.c:  @0:0 r4 !can't open " + files.path("missing.c") + " in 2");
    // A line that names no file.
    EXPECT_EQ(in("fold_out line_insert::: \"\" no 0 fold_in"),
              main + "< 0 c>,<missing.c 0 c>, @3:4 r12 * !bad filename  in 1");
}

} // namespace
