#include "editing_owner.h"

#include "commands/executor.h"
#include "commands/typing.h"
#include "display/terminal.h"
#include "text/alloc.h"
#include "text/flags.h"

#include <string>
#include <vector>

namespace {

std::string a(int n) {
    return std::string(n, 'a');
}

constexpr unsigned I = FLAG_INSERT;
const std::vector<std::string> words = {"ab,cd ef", "  gh\t"};
const std::string words_pic = "ab,cd ef,  gh\t, @";
// From the cursor after "ab": the rest of the line deleted, the cursor one left.
const std::string del_eol = "character_right character_delete_eol character_left ";

struct Case {
    std::vector<std::string> lines;
    int index, into;
    unsigned flags;
    std::string commands;
    std::string state; // as EditingTest::state shows it
    const char *error = "";
};

const char *const too_long = "line too long";
const char *const indentation = "can't type on fold indentation";
const char *const empty = "undeleted stack empty";

// clang-format off
const Case cases[] = {
    // Typing by the mode flag, and the 500-byte limit.
    {{"abc"}, 0, 1, I, "character_type 'x'", "axbc, @0:2"},
    {{"abc"}, 0, 1, 0, R"(character_type 'y' string_type "zw")", "ayzw, @0:4"},
    {{a(500)}, 0, 10, I, "character_insert 'x'", a(500) + ", @0:10", too_long},
    {{a(500)}, 0, 10, I, "character_overtype 'x'", a(10) + "x" + a(489) + ", @0:11"},
    {{a(500)}, 0, 500, I, "character_overtype 'x'", a(500) + ", @0:500", too_long},
    {{a(498)}, 0, 498, I, R"(string_insert "xyz")", a(498) + "xy, @0:500", too_long},
    // The end line becomes a line only when something is typed.
    {{"first"}, 1, 0, 0, "character_type 'x'", "first,x, @1:1"},
    {{"first"}, 1, 0, I, R"(string_insert "" character_insert 0)", "first, @1:0"},
    {{"first"}, 1, 0, I, "character_delete_left", "first, @1:0",
     "expected text, fold or virtual fold line"},
    // A fold line's indentation takes spaces only.
    {{"[f 2"}, 0, 1, I, "character_insert ' '", "[f 3 c:in,], @0:2"},
    {{"[f 2"}, 0, 1, I, "character_insert 'x'", "[f 2 c:in,], @0:1", indentation},
    {{"[f 2"}, 0, 1, I, "character_overtype ' ' character_overtype 'x'", "[f 2 c:in,], @0:2",
     indentation},
    {{"<v 1"}, 0, 5, I, "character_insert 'x'", "<xv 1 c>, @0:6"},
    // Tabs by tab size and mode.
    {{"abcdefgh"}, 0, 6, I | 4, "character_tab", "abcdef  gh, @0:8"},
    {{"\tab"}, 0, 2, I | 4, "character_tab", "\ta   b, @0:5"}, // from screen column 9
    {{"ab"}, 0, 1, I, "character_tab", "a\tb, @0:2"},
    {{"abcdefgh"}, 0, 6, 4, "character_tab", "abcdef  h, @0:8"},
    {{"abcdef"}, 0, 6, 4, "character_tab", "abcdef  , @0:8"},
    {{"ab"}, 0, 0, 0, "character_tab", "\tb, @0:1"},
    {{a(499)}, 0, 0, I | 4, "character_tab", a(499) + ", @0:0", too_long},
    {{a(499)}, 0, 0, 4, "character_tab", a(499) + ", @0:0", too_long},
    {{a(499)}, 0, 499, 4, "character_tab", a(499) + " , @0:500"},
    {{"[f 1"}, 0, 1, I | 4, "character_tab", "[f 4 c:in,], @0:4"},
    {{"[f 1"}, 0, 1, I, "character_tab", "[f 8 c:in,], @0:8"},
    {{"[f 1"}, 0, 1, 4, "character_tab", "[f 1 c:in,], @0:2"},
    // Deleting characters, and a fold line's indentation.
    {{"abcd"}, 0, 2, I, "character_delete_left character_delete_right", "ad, @0:1 <>"},
    {{"abcd"}, 0, 1, I, "character_delete_eol", "a, @0:1 S"},
    {{"[nm 2"}, 0, 6, I, "character_delete_left", "[nm 1 c:in,], @0:5"},
    {{"[nm 1"}, 0, 2, I, "character_delete_right character_delete_right", "[nm 0 c:in,], @0:2"},
    {{"[nm 0"}, 0, 2, I, "character_delete_left character_delete_eol", "[nm 0 c:in,], @0:2"},
    // Joining lines.
    {{"ab", "cd", "ef"}, 1, 0, I, "character_delete_left", "abcd,ef, @0:2"},
    {{"ab", "cd"}, 0, 0, I, "character_delete_left", "ab,cd, @0:0"},
    {{"[f 0", "xy"}, 1, 0, I, "character_delete_left", "[fxy 0 c:in,], @0:5"},
    {{"[f 0", "xy"}, 0, 0, I, "character_delete_left", "[f 0 c:in,],xy, @0:0"},
    {{"ab", "cd"}, 0, 2, I, "character_delete_right", "abcd, @0:2"},
    {{"ab", "[f 0"}, 0, 2, I, "character_delete_right", "ab,[f 0 c:in,], @0:2"},
    {{"[f 0", "ef"}, 0, 5, I, "character_delete_right", "[fef 0 c:in,], @0:5"},
    {{"ab"}, 0, 2, I, "character_delete_right", "ab, @0:2"},
    {{a(300), a(201)}, 1, 0, I, "character_delete_left", a(300) + "," + a(201) + ", @1:0",
     too_long},
    // Character and word moves across line ends.
    {{"ab", "c"}, 1, 0, I, "character_left", "ab,c, @0:2"},
    {{"ab", "c"}, 0, 2, I, "character_right character_right character_right", "ab,c, @2:0"},
    {words, 0, 3, I, "word_right", words_pic + "0:5"},
    {words, 0, 8, I, "word_right", words_pic + "1:4"},
    {words, 2, 0, I, "word_right", words_pic + "2:0"},
    {words, 0, 6, I, "word_left", words_pic + "0:3"},
    {words, 0, 3, I, "word_left", words_pic + "0:0"},
    {words, 1, 2, I, "word_left", words_pic + "0:6"},
    {{"x", "[nm 2"}, 1, 2, I, "word_right word_left", "x,[nm 2 c:in,], @1:6"},
    // Characters and strings back from the undelete stack.
    {{"abcdef"}, 0, 2, I, "character_delete_left character_delete_right " + del_eol + "other_put",
     "aefd, @0:1 <>S"},
    {{"abcdef"}, 0, 2, I, "character_delete_left character_delete_right " + del_eol +
     "other_undelete other_undelete other_undelete", "abcefd, @0:2"},
    {{"ab"}, 0, 0, I, "other_undelete", "ab, @0:0", empty},
    {{"ab"}, 0, 0, I, "other_squeeze other_put", "ab, @0:0", empty},
    {{"x", "[f 2"}, 0, 0, I, "character_delete_right character_right other_undelete",
     ",[f 2 c:in,], @1:0 >", indentation},
};
// clang-format on

using Editing = EditingTest;

TEST_F(Editing, CommandsChangeTheLineAndMarkWhatChanged) {
    for (const Case &c : cases) {
        SCOPED_TRACE(c.commands);
        undel_release_all();
        load(c.lines, c.index, c.into);
        cur_buffer->flags = c.flags;
        std::string before = tree_picture(fold());
        EXPECT_EQ(exec_commands(c.commands.c_str()), *c.error ? 0 : 1);
        if (*c.error) {
            EXPECT_STREQ(last_error(), c.error);
        }
        EXPECT_EQ(state(), c.state);
        EXPECT_EQ(cur_buffer->changed, tree_picture(fold()) != before);
    }
}

} // namespace
