// The tag commands: tagging lines, tagging the lines a compiler's listing
// names, and going from tag to tag through folds; and going to a line.
#include "commands_fixture.h"

#include "commands/goto_line.h"

namespace {

// The tagged lines of the buffer as "number:string " in file order, counting
// from 1 as compilers do, marker lines included.
void collect_tags(const tree_fold *f, int &line_no, std::string &out) {
    for (const tree_line *l = f->first;; l = line_next(l)) {
        if (line_is_tagged(l)) out += std::to_string(line_no + 1) + ":" + string_of(l) + " ";
        line_no++;
        if (line_kind(l) == LINE_FOLD) collect_tags(line_fold(l), line_no, out);
        if (l == f->end) return;
    }
}

std::string tags_of(const text_buffer *b) {
    std::string out;
    int line_no = 0;
    collect_tags(b->top, line_no, out);
    return out;
}

using Tags = CommandsTest;

TEST_F(Tags, TaggingALineTwiceClearsItAndChangesNoFile) {
    build({"a", "[f", "b"}, 1);
    ASSERT_EQ(exec_commands("tag_line"), 1);
    EXPECT_EQ(tags_of(cur_buffer), "2:f ");
    ASSERT_EQ(exec_commands("fold_end tag_line fold_start tag_line"), 1);
    EXPECT_EQ(tags_of(cur_buffer), "1:a 2:f 5: ") << "the end line too";
    ASSERT_EQ(exec_commands("line_down tag_line"), 1);
    EXPECT_EQ(tags_of(cur_buffer), "1:a 5: ");
    EXPECT_EQ(cur_buffer->changed, 0);
}

// A source buffer of 12 lines as its file holds them, with a closed fold
// holding a closed fold, and a listing buffer that is current.
class TagError : public CommandsTest {
  protected:
    void source(const char *name) {
        build({"one", "[f", "three", "[g", "five", "]", "]", "eight", "nine", "ten", "eleven",
               "twelve"});
        std::strcpy(cur_buffer->fn, name);
        goto_line(cur_buffer, {9});
        src = cur_buffer;
        cur_buffer = buff_create("", -1, top); // the one build() replaces
    }
    text_buffer *src = nullptr;
};

TEST_F(TagError, TheNamedLineOfTheBufferEditingTheFileIsTagged) {
    const struct {
        const char *source, *listing;
        int into;
        std::string tags;
    } cases[] = {
        // clang-format off
        {"main.c", "main.c:5: error: 'x' undeclared", 0, "5:five "},
        {"main.c", "\"main.c\", line 3: error", 0, "3:three "},
        {"main.c", "main.c(8) : error C2065", 0, "8:eight "},
        {"main.c", "see main.c:6: here", 4, "6: "}, // from the cursor on: an end line
        {"c:/src/main.c", "c:/src/main.c:2: error", 0, "2:f "},
        {"src/main.c", "src\\main.c:7: error", 0, "7: "},
        {"main.c", "main.c: In function 'main':", 0, "!no line number"},
        {"main.c", "main.c:0: error", 0, "!bad line number"},
        {"main.c", "main.c:4294967298: error", 0, "!bad line number"},
        {"main.c", "other.c:3: error", 0, "!not editing other.c"},
        {"main.c", "main.c:2:", 20, "!bad filename "},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.listing);
        source(c.source);
        build({"listing", c.listing}, 1, c.into);
        std::string result =
            exec_commands("tag_error") ? tags_of(src) : "!" + std::string(last_error());
        EXPECT_EQ(result, c.tags);
        EXPECT_EQ(src->line_no, 9) << "the source stays on its line";
        EXPECT_EQ(src->fold, src->top);
        EXPECT_EQ(cur_buffer->line_no, 1);
        buff_delete(src);
    }
}

TEST_F(TagError, TheListingMayNameItself) {
    build({"self.c:3: note", "b", "c"}, 0, 0);
    std::strcpy(cur_buffer->fn, "self.c");
    EXPECT_EQ(run("tag_error"), "self.c:3: note,b,c, @0:0 r4");
    EXPECT_EQ(tags_of(cur_buffer), "3:c ");
    build({"x"}, 1);
    EXPECT_EQ(run("tag_error"), "x, @1:0 r6 !expected text, fold or virtual fold line");
}

// Each case tags some lines, starts on a line and runs a text: the line it
// ends on, the fold holding it ("" for the top list), the into value and the
// row, and the message of an error. Line numbers from 0:
//
//    0 a           7 [+f3        13   [f5        19 h
//    1 [f1         8 ]            14     [f6      20 (end)
//    2   b         9   e          15       g
//    3   [f2      10 ]            16     ]
//    4     c      11 <v           17   ]
//    5     d      12 [f4          18 ]
//    6   ]
const std::vector<std::string> tree = {"a", "[f1", "b",   "[f2", "c",   "d", "]", "[+f3", "]", "e",
                                       "]", "<v",  "[f4", "[f5", "[f6", "g", "]", "]",    "]", "h"};

using GotoLine = CommandsTest;

TEST_F(GotoLine, EveryLineFromEveryLineThroughFoldsLeftClosed) {
    build(tree);
    const std::string before = tree_picture(cur_buffer->top);
    for (int from = 0; from <= 20; from++) {
        for (int to = 0; to <= 20; to++) {
            goto_line(cur_buffer, {from});
            goto_line(cur_buffer, {to});
            state();
            ASSERT_EQ(cur_buffer->line_no, to) << "from " << from;
        }
    }
    EXPECT_EQ(tree_picture(cur_buffer->top), before) << "every fold still closed";
    EXPECT_EQ(cur_buffer->changed, 0);
}

class TagGoto : public CommandsTest {
  protected:
    std::string walk(const std::vector<int> &tagged, int from, const std::string &text) {
        build(tree);
        for (int line_no : tagged) {
            goto_line(cur_buffer, {line_no});
            line_toggle_tag(line());
        }
        goto_line(cur_buffer, {from});
        fold()->into = 1;
        fold()->row = 6;
        int ok = exec_commands(text.c_str());
        state(); // the counts and the line number checked
        std::string s = std::to_string(cur_buffer->line_no) + " " + fold()->name + ":" +
                        std::to_string(fold()->into) + " r" + std::to_string(fold()->row);
        return ok ? s : s + " !" + last_error();
    }
};

TEST_F(TagGoto, ForwardsAndBackwardsThroughClosedFoldsNeverIntoAVirtualFold) {
    const std::string fwd = "tag_goto yes", back = "tag_goto no";
    const struct {
        std::vector<int> tagged;
        int from;
        std::string text, result;
    } cases[] = {
        // clang-format off
        // Into nested closed folds and out again, each way; the current line
        // is passed over; the row as for moving down or up.
        {{5, 15}, 5, fwd, "15 f6:0 r22"}, {{5, 15}, 15, fwd, "20 :0 r6 !not found"},
        {{5, 15}, 20, back, "15 f6:0 r4"}, {{5, 15}, 15, back, "5 f2:0 r4"},
        {{19}, 15, fwd, "19 :0 r22"}, {{2}, 4, back, "2 f1:0 r4"},
        // A fold line is met going in forwards and coming out backwards; an
        // end line is a line of its own; a virtual fold line is stepped over.
        {{12}, 0, fwd, "12 :0 r22"}, {{12}, 20, back, "12 :0 r4"}, {{6}, 0, fwd, "6 f2:0 r22"},
        {{6}, 9, back, "6 f2:0 r4"}, {{11}, 0, fwd, "11 :0 r22"}, {{}, 19, back, "0 :0 r6 !not found"},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text + " from " + std::to_string(c.from));
        EXPECT_EQ(walk(c.tagged, c.from, c.text), c.result);
    }
}

} // namespace
