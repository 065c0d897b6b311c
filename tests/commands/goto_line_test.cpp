#include "lines_fixture.h"

#include "commands/goto_line.h"

namespace {

class GotoLine : public LinesTest {
  protected:
    void SetUp() override {
        LinesTest::SetUp();
        build({"a",                                                       // 0
               "[f1", "b",   "[f2", "c", "d", "]", "[+f3", "]", "e", "]", // 1-10
               "<v",                                                      // 11
               "[f4", "[f5", "[f6", "g", "]", "]", "]",                   // 12-18
               "h"});                                                     // 19, end line 20
    }

    // Where the cursor is: the line number and the fold holding the line.
    std::string where() {
        state(); // checks the tree and the line number
        auto lines = file_lines();
        for (size_t n = 0; n < lines.size(); n++)
            if (lines[n].first == line() && lines[n].second == fold()) return std::to_string(n);
        return "lost";
    }

    FOLD *fold_of(int line_no) { return line_fold(file_lines()[line_no].first); }
};

TEST_F(GotoLine, EveryLineFromEveryLineThroughFoldsLeftClosed) {
    for (int from = 0; from <= 20; from++) {
        for (int to = 0; to <= 20; to++) {
            goto_line(cur_buffer, from);
            goto_line(cur_buffer, to);
            ASSERT_EQ(where(), std::to_string(to)) << "from " << from;
        }
    }
    for (int f : {1, 3, 12, 13, 14}) EXPECT_EQ(fold_of(f)->open, 0);
    EXPECT_EQ(cur_buffer->changed, 0);
    goto_line(cur_buffer, -3);
    EXPECT_EQ(where(), "0");
    goto_line(cur_buffer, 99);
    EXPECT_EQ(where(), "20");
}

TEST_F(GotoLine, FoldsEnteredAndLeftHaveTheirEndLinesRedrawn) {
    goto_line(cur_buffer, 15); // g, inside f4, f5 and f6
    for (const auto &l : file_lines()) line_clear_changed(l.first);
    goto_line(cur_buffer, 5); // d, inside f1 and f2
    EXPECT_EQ(where(), "5");
    for (int f : {1, 3, 12, 13, 14}) EXPECT_TRUE(line_is_changed(fold_of(f)->end)) << f;
    EXPECT_FALSE(line_is_changed(fold_of(7)->end)) << "f3 was passed by";
}

TEST_F(GotoLine, TheCursorRowFollowsTheLineWhereItIsShown) {
    y_size = 10; // text rows 3 to 9, the cursor on 4 to 8
    fold()->row = 4;
    // a on row 4, f1 on 5, v on 6, f4 on 7, h on 8, the end line on 9
    const struct { int to, row; } steps[] = {{19, 8}, {11, 6}, {0, 4}, {20, 8}, {14, 4}, {20, 8}};
    for (auto s : steps) {
        refresh();
        goto_line(cur_buffer, s.to);
        EXPECT_EQ(fold()->row, s.row) << s.to;
    }
    BUFF *current = cur_buffer;
    build({"x", "[f", "y", "]"});
    BUFF *other = cur_buffer;
    cur_buffer = current;
    fold()->row = 5;
    goto_line(other, 2);
    EXPECT_EQ(fold()->row, 5);
    EXPECT_STREQ(line_text(other->fold->cur), "y");
    EXPECT_EQ(other->line_no, 2);
    EXPECT_EQ(other->top->row, 6) << "not the current buffer: no row rule";
    EXPECT_EQ(other->fold->row, 4);
}

TEST_F(GotoLine, LineGotoCountsFromOneAndZeroOrTooFarIsTheEnd) {
    const struct {
        const char *text;
        int line;
    } cases[] = {{"line_goto 1", 0},  {"line_goto 16", 15}, {"line_goto 21", 20},
                 {"line_goto 0", 20}, {"line_goto 22", 20}, {"line_goto &FFFFFFFF", 20}};
    for (auto c : cases) {
        goto_line(cur_buffer, 15);
        fold()->into = fold()->col = 1;
        ASSERT_EQ(exec_commands(c.text), 1) << c.text;
        EXPECT_EQ(where(), std::to_string(c.line)) << c.text;
        EXPECT_EQ(fold()->into, 0) << c.text;
        EXPECT_EQ(fold()->col, 0) << c.text;
    }
    build({});
    EXPECT_EQ(run("line_goto 7"), " i0 n0 @0 r6");
}

} // namespace
