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
        {three_deep, 1, 0, "fold_in line_down fold_in line_down fold_in", "z, @0:0 r4"},
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

// Virtual folds whose files are in a scratch folder, entered from a buffer
// of the file main.c there. Only cases that ask no question: the terminal
// tests answer those.
class VirtualFolds : public CommandsTest {
  protected:
    // Runs the text in a buffer of main.c holding the outline.
    std::string run_in_main(const std::vector<std::string> &outline, const std::string &text) {
        build(outline);
        for (BUFF *b : buffs)
            if (b && b != cur_buffer) buff_delete(b);
        std::strcpy(cur_buffer->fn, files.path("main.c").c_str());
        return run_more(text);
    }

    // Runs more text: the current buffer's file name and its parent's, its
    // state and the number of buffers ("sub/x.c<main.c: ... in 2"), names
    // within the folder.
    std::string run_more(const std::string &text) {
        bool ok = exec_commands(text.c_str());
        std::string s = cur_buffer->fn;
        if (const BUFF *parent = lookup_buff_id(cur_buffer->parent))
            s += "<" + std::string(parent->fn);
        s += ": " + state() + " in " + std::to_string(n_buffs);
        if (!ok) s += " !" + std::string(last_error());
        for (size_t at; (at = s.find(files.path() + "/")) != std::string::npos;)
            s.erase(at, files.path().size() + 1);
        return s;
    }

    test_support::scratch_dir files;
};

TEST_F(VirtualFolds, NamesAreResolvedFromTheFileThatHoldsThem) {
    std::filesystem::create_directory(files.path("sub"));
    test_support::write_file(files.path("sub/x.c"), "x1\n/*...sin x:0:*/\nx2\n/*...e*/\n");
    test_support::write_file(files.path("y.c"), "y1\n");
    test_support::env_var dir("OX_TEST_DIR", files.path());
    const std::vector<std::string> main = {"a", "<sub/x.c", "<$(OX_TEST_DIR)/y.c the y file",
                                           "<missing.c"};
    const std::string back = "main.c: a,<sub/x.c 0 c>,<$(OX_TEST_DIR)/y.c the y file 0 c>,"
                             "<missing.c 0 c>,";
    // clang-format off
    EXPECT_EQ(run_in_main(main, "line_down fold_in"), "sub/x.c<main.c: x1,[in x 0 c:x2,], @0:0 r4 in 2");
    // Out of a fold of the child, then out of the child, which goes.
    EXPECT_EQ(run_more("line_down fold_in fold_out fold_out"), back + " @1:0 r12 in 1");
    EXPECT_EQ(run_in_main(main, "line_down line_down fold_in"), "y.c<main.c: y1, @0:0 r4 in 2");
    // A file that is not there gives an empty child, to leave.
    EXPECT_EQ(run_in_main(main, "line_down line_down line_down fold_in"),
              "missing.c<main.c:  @0:0 r4 in 2 !can't open missing.c");
    EXPECT_EQ(run_more("fold_out"), back + " @3:0 r12 in 1");
    // A line that names no file.
    EXPECT_EQ(run_in_main({"a"}, "line_insert::: \"\" no 0 fold_in"),
              "main.c: < 0 c>,a, @0:4 r6 * in 1 !bad filename ");
    // clang-format on
}

} // namespace
