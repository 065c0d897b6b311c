#include "lines_fixture.h"

#include "text/alloc.h"
#include "text/flags.h"

namespace {

using Outline = std::vector<std::string>;

// A buffer built from the outline with the cursor at index and into; the
// command text run; the state after it (LinesTest::state, "!" and the error).
struct Case {
    Outline outline;
    int index, into;
    const char *text, *state;
};

using LineCommands = LinesTest;

TEST_F(LineCommands, OneCommandFromAGivenPlace) {
    const Outline abc = {"a", "[f", "x", "]", "b"};
    const Case cases[] = {
        // New lines go before the current one, the cursor at their end.
        {abc, 1, 0, R"(line_insert "new")", "a,new,[f 0 c:x,],b, i1 n1 @3 r6 *"},
        {abc, 3, 0, R"(line_insert "z")", "a,[f 0 c:x,],b,z, i3 n5 @1 r6 *"},
        {abc, 0, 0, R"(line_insert... "sub" yes 2)", "[sub 2 o:],a,[f 0 c:x,],b, i0 n0 @9 r6 *"},
        {abc, 0, 0, R"(line_insert::: "my' f" no 6)", "<my' f 6 c>,a,[f 0 c:x,],b, i0 n0 @15 r6 *"},
        // Deleting pushes the line itself; the next one takes its place.
        {abc, 1, 5, "line_delete", "a,b, i1 n1 @0 r6 *"},
        {abc, 3, 0, "line_delete line_yank", "a,[f 0 c:x,],b, i3 n5 @0 r6"},
        {{}, 0, 0, "line_delete line_yank", " i0 n0 @0 r6"},
        {abc, 1, 5, "line_yank", "a,[f 0 c:x,],b, i1 n1 @5 r6"},
        // Vertical moves at the ends of the list change nothing at all.
        {abc, 0, 1, "line_up", "a,[f 0 c:x,],b, i0 n0 @1 r6"},
        {abc, 3, 0, "line_down", "a,[f 0 c:x,],b, i3 n5 @0 r6"},
        {{}, 0, 0, "line_up line_down", " i0 n0 @0 r6"},
        {abc, 2, 1, "line_up line_start", "a,[f 0 c:x,],b, i1 n1 @0 r4"},
        // Splitting, autoindent on (the language's default).
        {{"    abc"}, 0, 6, "line_split", "    ab,    c, i1 n1 @4 r7 *"},
        {{"\t abc"}, 0, 4, "line_split", "\t ab,\t c, i1 n1 @2 r7 *"},
        {{"  abc"}, 0, 5, "line_split", "  abc,  , i1 n1 @2 r7 *"},
        {{"  a b"}, 0, 4, "line_split", "  a ,  b, i1 n1 @2 r7 *"},
        {{"abc"}, 0, 0, "line_split", ",abc, i1 n1 @0 r7 *"},
        {{"abc"}, 0, 9, "line_split", "abc,, i1 n1 @0 r7 *"},
        {{"[+ part one", "x", "]"}, 0, 9, "line_split", "[ part 0 o:x,], one, i1 n3 @0 r7 *"},
        {{"<dir/a'b c"}, 0, 11, "line_split", "<dir/a'b 0 c>, c, i1 n1 @0 r7 *"},
        {{"[f", "]"}, 0, 3, "line_split", "[f 0 c:], i0 n0 @3 r6"}, // in the indentation
        {{}, 0, 0, "line_split", ", i1 n1 @0 r7 *"},
        {abc, 3, 0, "line_split", "a,[f 0 c:x,],b,, i4 n6 @0 r7 *"},
        // Translating the current line's text or name.
        {abc, 0, 0, R"(line_trans "a-z" "A-Z")", "A,[f 0 c:x,],b, i0 n0 @0 r6 *"},
        {abc, 1, 0, R"(line_trans "e-g" "xyz")", "a,[y 0 c:x,],b, i1 n1 @0 r6 *"},
        {abc, 3, 0, R"(line_trans "a" "b")", "a,[f 0 c:x,],b, i3 n5 @0 r6"},
        {abc, 3, 0, R"(line_trans "ab" "b")", "!translate strings not the same size"},
        {abc, 0, 0, R"(line_trans "a-" "b")", "!bad - range in translate string"},
        {abc, 0, 0, R"(line_trans "a" "b\\")", "!bad \\ escape in translate string"},
        // Running a line.
        {{R"(line_down line_insert "made")", "b"},
         0,
         0,
         "line_exec",
         R"(line_down line_insert "made",made,b, i1 n1 @4 r22 *)"},
        {{"line_delete line_down line_insert \"after\"", "b"},
         0,
         0,
         "line_exec",
         "b,after, i1 n1 @5 r22 *"},
        {abc, 1, 0, "line_exec line_down", "!expected text line"},
        {abc, 3, 0, "line_exec", "!expected text line"},
    };
    for (const Case &c : cases) {
        build(c.outline, c.index, c.into);
        EXPECT_EQ(run(c.text), c.state) << c.text << " on line " << c.index;
    }
}

TEST_F(LineCommands, ErrorsChangeNothing) {
    build({"a", "[f", "head tail", "]"});
    exec_commands("line_goto 3");
    fold()->into = 5;
    const std::string before = state();
    const struct {
        const char *text;
        int allocations;
    } cases[] = {{"line_split", 3}, {"line_insert \"x\"", 2}, {"line_yank", 2}};
    for (auto [text, allocations] : cases) {
        for (int fail = 1; fail <= allocations; fail++) {
            alloc_fail_after(fail);
            EXPECT_EQ(run(text), "!out of memory") << text << fail;
            alloc_fail_after(0);
            EXPECT_EQ(state(), before) << text << fail;
            EXPECT_EQ(undel_count(), 0);
            EXPECT_FALSE(line_is_changed(line()));
        }
    }
    for (const char *text :
         {"line_trans \"a\\\\\" \"b\"", "line_trans \"\x01-\xff\x01-\xff\" \"b\""})
        EXPECT_EQ(run(text)[0], '!') << text;
    EXPECT_EQ(state(), before);
    EXPECT_EQ(run("line_split"), "head ,tail, i1 n3 @0 r22 *");
    EXPECT_TRUE(line_is_changed(fold()->first) && line_is_changed(line()));
}

TEST_F(LineCommands, DeletedAndYankedLinesGoToTheUndeleteStack) {
    build({"a", "[f", "x", "[g", "y", "]", "]", "b"}, 1);
    LINE *f = line();
    fold()->mark1 = 2;
    ASSERT_EQ(run("line_yank line_delete"), "a,b, i1 n1 @0 r6 *");
    EXPECT_EQ(fold()->mark1, 1) << "the mark follows its line";
    ASSERT_EQ(undel_count(), 2);
    LINE *copy = undel_entry(0).item.line;
    EXPECT_EQ(undel_entry(1).item.line, f);
    EXPECT_NE(copy, f);
    EXPECT_EQ(tree_picture(line_fold(copy)), "x,[g 0 c:y,],");
    EXPECT_EQ(tree_picture(line_fold(f)), "x,[g 0 c:y,],");
    EXPECT_EQ(line_fold(f)->parent, nullptr);
    EXPECT_EQ(check_fold_invariants(line_fold(copy)), "");
}

TEST_F(LineCommands, VerticalMovesKeepTheRememberedColumn) {
    build({"abcdefgh", "ab", "[fold", "]", "abcdefgh"}, 0, 5);
    EXPECT_EQ(run("line_down"), "abcdefgh,ab,[fold 0 c:],abcdefgh, i1 n1 @2 r22");
    EXPECT_EQ(fold()->col, 5);
    EXPECT_EQ(run("line_down"), "abcdefgh,ab,[fold 0 c:],abcdefgh, i2 n2 @5 r22");
    EXPECT_EQ(run("line_down"), "abcdefgh,ab,[fold 0 c:],abcdefgh, i3 n4 @5 r22");
    EXPECT_EQ(run("line_up line_up"), "abcdefgh,ab,[fold 0 c:],abcdefgh, i1 n1 @2 r4");
    EXPECT_EQ(run("line_end line_up"), "abcdefgh,ab,[fold 0 c:],abcdefgh, i0 n0 @8 r4");
    EXPECT_EQ(run("line_down line_down"), "abcdefgh,ab,[fold 0 c:],abcdefgh, i2 n2 @8 r22");
}

} // namespace
