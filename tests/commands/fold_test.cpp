// The fold commands: moving through the fold tree, opening and closing folds.
#include "commands_fixture.h"

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

} // namespace
