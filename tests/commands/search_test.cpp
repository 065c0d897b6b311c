// The search commands: matching and replacing in lines, the walk through
// folds and virtual folds counted against the tree, search_again and its
// scope, and bracket matching. Questions, confirmations and Escape need a
// terminal: search_terminal_test.cpp.
#include "commands_fixture.h"

#include "commands/search_walk.h"
#include "display/keyboard.h"
#include "display/keys.h"
#include "support/scratch.h"
#include "text/buff_file.h"

#include <functional>

namespace {

// The settings after the pattern (and replacement) of search_for and
// search_replace: case, expression, folds, virtual folds, forwards, times,
// confirm.
const std::string all = " yes no always always yes 0 no";

std::string find(const std::string &pattern, const std::string &settings = all) {
    return "search_for \"" + pattern + "\"" + settings;
}
std::string replace(const std::string &pattern, const std::string &by,
                    const std::string &settings = all) {
    return "search_replace \"" + pattern + "\" \"" + by + "\"" + settings;
}

std::string b(int n) {
    return std::string(n, 'b');
}

class Search : public CommandsTest {
  protected:
    // Runs the cases as run_cases does; each state ends in " #" and the
    // number of matches the search handled.
    void search_cases(const std::vector<command_case> &cases) {
        for (const command_case &c : cases) {
            SCOPED_TRACE(c.text + " on line " + std::to_string(c.index));
            build(c.outline, c.index, c.into);
            last_search.count = 0;
            std::string state = run(c.text);
            EXPECT_EQ(state + " #" + std::to_string(last_search.count), c.state);
        }
    }
};

TEST_F(Search, PlainStringsAndExpressionsWithAndWithoutCase) {
    const std::vector<std::string> abc = {"Abc abc", "ABC", "[fold abc", "abc", "]"};
    const std::string folding = "`{`{ @[@[ ABCD abcd \xc0 xyz XYZ .",
                      folded = folding + ", @1:0 r22";
    search_cases({
        // clang-format off
        // Forwards to the end of the list, where the cursor stays; fold names
        // are searched, and the fold's contents when it is entered.
        {abc, 0, 0, find("abc"), "Abc abc,ABC,[fold abc 0 c:abc,], @3:0 r22 #3"},
        {abc, 0, 0, find("abc", " no no always always yes 0 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @3:0 r22 #5"},
        {abc, 0, 0, find("aBC", " no no never never yes 0 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @3:0 r22 #4"},
        {abc, 0, 0, find("a[b]+c", " yes yes never never yes 0 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @3:0 r22 #2"},
        {abc, 0, 0, find("A[B]+c", " no yes never never yes 0 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @3:0 r22 #4"},
        // Ignoring case folds A to Z only, in lines long enough to be folded
        // sixteen bytes at a time: not the bytes next to them, nor bytes
        // from 128 up.
        {{folding}, 0, 0, find("`{", " no no never never yes 0 no"), folded + " #2"},
        {{folding}, 0, 0, find("@[", " no no never never yes 0 no"), folded + " #2"},
        {{folding}, 0, 0, find("XYZ", " no no never never yes 0 no"), folded + " #2"},
        {{folding}, 0, 0, find("\xc0", " no no never never yes 0 no"), folded + " #1"},
        {{folding}, 0, 0, find("a[b-d]+ ", " no yes never never yes 0 no"), folded + " #2"},
        // A number of times: the cursor after the last match forwards, at its
        // start backwards; from the middle of a line only what lies beyond.
        {abc, 0, 0, find("abc", " no no never never yes 2 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @0:7 r22 #2"},
        {abc, 0, 2, find("abc", " no no never never yes 2 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @1:3 r22 #2"},
        {abc, 2, 12, find("abc", " no no never never no 2 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @1:0 r4 #2"},
        {abc, 1, 3, find("b+", " no yes never never no 1 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @1:1 r4 #1"},
        // The cursor's column is kept for moving on from the match.
        {{"a\tbcd", "uvwxyz0123"}, 0, 0, find("c", " yes no never never yes 1 no") + " line_down", "a\tbcd,uvwxyz0123, @1:10 r22 #1"},
        // Not found: the cursor at the end of the list, or at the start of
        // its first line.
        {abc, 0, 0, find("abd"), "Abc abc,ABC,[fold abc 0 c:abc,], @3:0 r22 !not found #0"},
        {abc, 1, 2, find("abd", " yes no always always no 0 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @0:0 r4 !not found #0"},
        // Empty matches advance one place each: the empty string matches
        // at every place of every line, "x*" before each byte and over each x.
        {{"ab", "c"}, 0, 0, find(""), "ab,c, @2:0 r22 #5"},
        {{"ab", "c"}, 1, 1, find("", " yes no always always no 0 no"), "ab,c, @0:0 r4 #5"},
        {{"axxb"}, 0, 0, find("x*", " yes yes never never yes 0 no"), "axxb, @1:0 r22 #4"},
        {{"axxb"}, 0, 4, find("x*", " yes yes never never no 0 no"), "axxb, @0:0 r4 #4"},
        // A pattern that cannot be searched changes nothing.
        {abc, 0, 0, find(std::string(301, 'a'), " yes yes never never yes 0 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @0:0 r6 !regular expression too long #0"},
        {abc, 0, 0, find("a)", " yes yes never never yes 0 no"), "Abc abc,ABC,[fold abc 0 c:abc,], @0:0 r6 !unexpected ')' #0"},
        // clang-format on
    });
}

TEST_F(Search, ReplacementsGoOnAfterWhatTheyPutAndStopAtTheLimits) {
    const std::string too_long = " !line too long";
    search_cases({
        // clang-format off
        {{"aaa"}, 0, 0, replace("a", "aa"), "aaaaaa, @1:0 r22 * #3"},
        {{"aaa"}, 0, 3, replace("a", "aa", " yes no always always no 0 no"), "aaaaaa, @0:0 r4 * #3"},
        {{"Ab ab"}, 0, 0, replace("AB", "Xy", " no no always always yes 0 no"), "Xy Xy, @1:0 r22 * #2"},
        {{"ab"}, 0, 0, replace("", "-"), "-a-b-, @1:0 r22 * #3"},
        {{"[fab", "ab", "]"}, 0, 0, replace("a", "", " yes no never never yes 0 no"), "[fb 0 c:ab,], @1:0 r22 * #1"},
        {{"ab", "ab"}, 0, 0, replace("a", "x", " yes no never never yes 1 no"), "xb,ab, @0:1 r22 * #1"},
        // Groups of an expression, and the replacement's three errors.
        {{"x=1 yy=22"}, 0, 0, replace("([a-z]+)=([0-9]+)", "\\\\2:\\\\1", " yes yes never never yes 0 no"), "1:x 22:yy, @1:0 r22 * #2"},
        {{"x=1 yy=22"}, 0, 0, replace("([a-z]+)=", "[\\\\\\\\\\\\&]", " yes yes never never yes 0 no"), "[\\&]1 [\\&]22, @1:0 r22 * #2"},
        {{"x=1"}, 0, 0, replace("([a-z]+)=", "\\\\2", " yes yes never never yes 0 no"), "x=1, @0:2 r22 !bad substitution #1"},
        {{"x=1"}, 0, 0, replace("x", "\\\\", " yes yes never never yes 0 no"), "x=1, @0:1 r22 !bad substitution #1"},
        // Past 500 bytes: what was replaced before stays.
        {{"aaa" + b(495)}, 0, 0, replace("a", "xx"), "xxxxa" + b(495) + ", @0:5 r22 *" + too_long + " #3"},
        {{"aaa" + b(495)}, 0, 0, replace("(a)", "\\\\1x", " yes yes never never yes 0 no"), "axaxa" + b(495) + ", @0:5 r22 *" + too_long + " #3"},
        {{"a" + b(499)}, 0, 0, replace("b", "", " yes no never never yes 0 no"), "a, @1:0 r22 * #499"},
        // clang-format on
    });
}

// ---- The walk through folds and virtual folds --------------------------------

// A tree to search: text lines, folds and virtual folds, each line holding
// one "x", the folds open or closed. A virtual fold's lines are its file's.
struct node {
    char kind; // 't' text, 'f' fold, 'v' virtual fold
    bool open;
    std::vector<node> lines;
};
const auto text = [] { return node{'t', false, {}}; };
const auto fold = [](bool open, std::vector<node> lines) { return node{'f', open, lines}; };
const auto vfold = [](bool open, std::vector<node> lines) { return node{'v', open, lines}; };

// The lines a search should see, counted from the tree alone.
int lines_seen(const std::vector<node> &list, int folds, int vfolds) {
    auto enters = [](int when, bool open) { return when == 2 || (when == 1 && open); };
    int n = 0;
    for (const node &l : list) {
        n++;
        if ((l.kind == 'f' && enters(folds, l.open)) || (l.kind == 'v' && enters(vfolds, l.open)))
            n += lines_seen(l.lines, folds, vfolds);
    }
    return n;
}

const std::vector<node> forest = {
    text(),
    fold(true, {text(), fold(false, {text(), text()}), vfold(true, {text()}), text()}),
    vfold(false, {text(), fold(true, {text(), vfold(false, {text(), text()})}), text()}),
    fold(false, {fold(true, {text()}), fold(false, {}), text()}),
    vfold(true, {}),
    text(),
};

const char *const when_words[] = {"never", "if_open", "always"};

class SearchWalk : public CommandsTest {
  protected:
    // Writes the list as the file of that name (virtual folds are files
    // named v1, v2, ... beside it) in the scratch folder.
    void write_list(const std::string &name, const std::vector<node> &list) {
        std::string out;
        for (const node &l : list) write_line(out, l);
        test_support::write_file(files.path(name), out);
    }
    void write_line(std::string &out, const node &l) {
        switch (l.kind) {
        case 't': out += "x\n"; break;
        case 'f':
            out += std::string("/*...") + (l.open ? "S" : "s") + "x:0:*/\n";
            for (const node &in : l.lines) write_line(out, in);
            out += "/*...e*/\n";
            break;
        default: {
            std::string name = "xv" + std::to_string(++vfolds);
            out += std::string("/*...") + (l.open ? "V" : "v") + name + ":0:*/\n";
            write_list(name, l.lines);
        }
        }
    }
    // The file becomes the current buffer, with the cursor on its first line.
    void load(const std::string &name) {
        text_buffer *old = cur_buffer;
        cur_buffer = buff_create(files.path(name).c_str(), -1, top);
        ASSERT_NE(cur_buffer, nullptr);
        ASSERT_TRUE(buff_read(cur_buffer, cur_buffer->fn));
        buff_delete(old);
    }
    // Where the cursor is: the file's name, the line number, the into value
    // less `back`.
    std::string place(int back = 0) const {
        std::string fn = cur_buffer->fn;
        return fn.substr(fn.rfind('/') + 1) + ":" + std::to_string(cur_buffer->line_no) + ":" +
               std::to_string(fold()->into - back);
    }
    // The places where the matches of "x" start, found one at a time by
    // search_again until it says "not found".
    std::vector<std::string> matches_one_by_one(const std::string &first) {
        std::vector<std::string> seen;
        for (std::string text = first; exec_commands(text.c_str()); text = "search_again")
            seen.push_back(place(last_search.forwards));
        EXPECT_STREQ(last_error(), "not found");
        return seen;
    }

    test_support::scratch_dir files;
    int vfolds = 0;
};

TEST_F(SearchWalk, EachSettingSeesTheLinesItShouldEachOnce) {
    write_list("main", forest);
    for (int folds = 0; folds < 3; folds++) {
        for (int vf = 0; vf < 3; vf++) {
            const std::string settings =
                std::string(" yes no ") + when_words[folds] + " " + when_words[vf];
            SCOPED_TRACE(settings);
            load("main");
            ASSERT_TRUE(exec_commands(find("x", settings + " yes 0 no").c_str()));
            EXPECT_EQ(last_search.count, lines_seen(forest, folds, vf));
            // Back at the end of the list it started in, every child left.
            EXPECT_EQ(place(), "main:" + std::to_string(cur_buffer->top->deep_count - 1) + ":0");
            EXPECT_EQ(fold(), cur_buffer->top);
            EXPECT_EQ(n_buffs, 1);

            // Backwards, one match at a time: the same places in reverse.
            load("main");
            std::vector<std::string> fwd = matches_one_by_one(find("x", settings + " yes 1 no"));
            EXPECT_EQ(static_cast<int>(fwd.size()), lines_seen(forest, folds, vf));
            load("main");
            exec_commands("fold_end");
            std::vector<std::string> bwd = matches_one_by_one(find("x", settings + " no 1 no"));
            EXPECT_EQ(bwd, std::vector<std::string>(fwd.rbegin(), fwd.rend()));
        }
    }
}

TEST_F(SearchWalk, ASearchStartedInAFoldStaysInIt) {
    write_list("main", forest);
    load("main");
    ASSERT_TRUE(exec_commands("line_down fold_in"));
    tree_fold *start = fold();
    const std::vector<node> &inside = forest[1].lines;
    ASSERT_TRUE(exec_commands(find("x").c_str()));
    EXPECT_EQ(last_search.count, lines_seen(inside, 2, 2));
    EXPECT_EQ(fold(), start);
    EXPECT_EQ(fold()->cur, fold()->end);
    ASSERT_TRUE(exec_commands("fold_start"));
    ASSERT_TRUE(exec_commands(find("x", " yes no never always yes 0 no").c_str()));
    EXPECT_EQ(last_search.count, lines_seen(inside, 0, 2));
}

TEST_F(SearchWalk, AVirtualFoldChangedIsWrittenBackWithItsBackup) {
    test_support::write_file(files.path("main"), "x\n/*...vchild:0:*/\nx\n");
    test_support::write_file(files.path("child"), "one x\ntwo\n");
    load("main");
    ASSERT_TRUE(exec_commands(replace("x", "y").c_str()));
    EXPECT_EQ(last_search.count, 3);
    EXPECT_EQ(tree_picture(fold()), "y,<child 0 c>,y,");
    EXPECT_TRUE(cur_buffer->changed);
    EXPECT_EQ(test_support::read_file(files.path("child")), "one y\ntwo\n");
    EXPECT_EQ(test_support::read_file(files.path("child.bak")), "one x\ntwo\n");
    EXPECT_EQ(n_buffs, 1);
    // Unchanged, a child is left without writing.
    EXPECT_EQ(run("fold_start " + find("two")), "y,<child 0 c>,y, @3:0 r22 *");
    EXPECT_EQ(test_support::read_file(files.path("child.bak")), "one x\ntwo\n");
    EXPECT_EQ(n_buffs, 1);
}

// A virtual fold ("./m") whose file the user has open and changed in a
// buffer of its own: taken, the search replaces there and writes both
// changes; declined, the copy it writes makes that buffer ask before writing.
TEST_F(SearchWalk, AVirtualFoldWhoseFileIsInABufferIsSearchedThereOrAsksAgain) {
    const std::string m = files.path("m");
    for (bool take : {true, false}) {
        SCOPED_TRACE(take ? "existing copy" : "second copy");
        test_support::write_file(files.path("p"), "/*...v.\\47\\m:0:*/\n");
        test_support::write_file(m, "old\n");
        load("p");
        ASSERT_TRUE(exec_commands(("buffer_create \"" + m + "\" yes yes string_insert \"mine \" " +
                                   "buffer_select \"" + files.path("p") + "\"")
                                      .c_str()));
        th_key_script(take ? std::vector<int>{K_RETURN} : std::vector<int>{'n', K_RETURN});
        ASSERT_TRUE(exec_commands(replace("old", "new").c_str())) << last_error();
        th_key_script({});
        EXPECT_EQ(test_support::read_file(m), take ? "mine new\n" : "new\n");
        EXPECT_EQ(n_buffs, take ? 1 : 2);
        if (take) continue;
        EXPECT_FALSE(exec_commands(("buffer_write \"" + m + "\" no").c_str()));
        EXPECT_STREQ(last_error(), "aborted");
        EXPECT_EQ(test_support::read_file(m), "new\n");
    }
}

TEST_F(SearchWalk, TheScopeIsForgottenWithItsFold) {
    test_support::write_file(files.path("main"), "/*...vchild:0:*/\n");
    test_support::write_file(files.path("child"), "x\n");
    load("main");
    ASSERT_TRUE(exec_commands(("fold_in " + find("x")).c_str()));
    EXPECT_TRUE(in_search_scope());
    ASSERT_TRUE(exec_commands("fold_out")); // the child buffer goes with its folds
    EXPECT_EQ(last_search.scope.root_fold, nullptr);
    EXPECT_FALSE(in_search_scope());
}

TEST_F(SearchWalk, AVirtualFoldOfItsOwnFileOrAnAncestorsIsNotEntered) {
    std::filesystem::create_directory(files.path("sub"));
    // Named relative to the file that holds it: sub/self names sub/self.
    test_support::write_file(files.path("sub/self"), "/*...vself:0:*/\n");
    test_support::write_file(files.path("sub/a"), "/*...vb:0:*/\n");
    test_support::write_file(files.path("sub/b"), "x\n/*...va:0:*/\n");
    load("sub/self");
    EXPECT_EQ(run(find("x")),
              "<self 0 c>, @0:4 r4 !infinite recursion detected reading " + files.path("sub/self"));
    load("sub/a");
    EXPECT_EQ(run(find("x")),
              "x,<a 0 c>, @1:4 r22 !infinite recursion detected reading " + files.path("sub/a"));
    EXPECT_EQ(place(), "b:1:4"); // the search stopped in the child
}

TEST_F(SearchWalk, ParentChainsEndAtALoop) {
    text_buffer *a = cur_buffer;
    text_buffer *c = buff_create("c", a->id, top);
    text_buffer *d = buff_create("d", c->id, top);
    EXPECT_TRUE(buff_is_ancestor(d, a->id));
    EXPECT_FALSE(buff_is_ancestor(a, d->id));
    EXPECT_TRUE(file_in_chain(d, "c"));
    EXPECT_FALSE(file_in_chain(c, "d"));
    a->parent = d->id; // adopted by fold_in
    EXPECT_TRUE(buff_is_ancestor(a, c->id));
    EXPECT_FALSE(buff_is_ancestor(a, 999));
    EXPECT_FALSE(file_in_chain(a, "e"));
}

// ---- search_again -------------------------------------------------------------

TEST_F(Search, AgainRepeatsTheLastSearchInItsScope) {
    build({"ab Ab ab", "[f ab", "ab", "]"});
    EXPECT_EQ(run("search_again"), "ab Ab ab,[f ab 0 c:ab,], @0:0 r6 !no previous search pattern");
    EXPECT_EQ(run(find("ab", " yes no never never yes 1 no") + " search_again"),
              "ab Ab ab,[f ab 0 c:ab,], @0:8 r22");
    // A pattern that does not compile leaves the last one in force, with
    // its case; the direction changes.
    EXPECT_EQ(run(find("(", " no yes never never no 1 no")),
              "ab Ab ab,[f ab 0 c:ab,], @0:8 r22 !unfinished sub-expression");
    EXPECT_EQ(run("search_again search_again"), "ab Ab ab,[f ab 0 c:ab,], @0:0 r4");
    // A replacement repeats as a replacement.
    EXPECT_EQ(run(replace("ab", "x", " yes no never never yes 1 no") + " search_again"),
              "x Ab x,[f ab 0 c:ab,], @0:6 r22 *");
    // Inside a fold of the scope when folds are entered.
    EXPECT_EQ(
        run("fold_start " + find("ab", " yes no always never yes 1 no") + " fold_in search_again"),
        "ab, @0:2 r22 *");
}

// ---- Brackets -----------------------------------------------------------------

TEST_F(Search, BracketsFindTheirPartners) {
    const std::string not_on = " !not on a bracket";
    run_cases({
        // clang-format off
        {{"a(b)c)"}, 0, 1, "search_bracket", "a(b)c), @0:3 r6"},
        {{"(a(b)c)"}, 0, 0, "search_bracket", "(a(b)c), @0:6 r6"},
        {{"(a(b)c)"}, 0, 6, "search_bracket", "(a(b)c), @0:0 r6"},
        {{"a<[{x}]>"}, 0, 2, "search_bracket", "a<[{x}]>, @0:6 r6"},
        {{"`quoted' it"}, 0, 0, "search_bracket", "`quoted' it, @0:7 r6"},
        {{"`quoted' it"}, 0, 7, "search_bracket", "`quoted' it, @0:0 r6"},
        // Across lines and fold lines, whose names are read as text.
        {{"f(a,", "  b)"}, 0, 1, "search_bracket", "f(a,,  b), @1:3 r7"},
        {{"f(a,", "[ x)", "]"}, 0, 1, "search_bracket", "f(a,,[x) 1 c:], @1:6 r7"},
        {{"[ (", "]", "x)"}, 0, 5, "search_bracket", "[( 1 c:],x), @1:1 r7"},
        {{"[ (", "]", "x)"}, 1, 1, "search_bracket", "[( 1 c:],x), @0:5 r5"},
        // Where it cannot start or finish.
        {{"ab(c"}, 0, 1, "search_bracket", "ab(c, @0:1 r6" + not_on},
        {{"ab"}, 0, 2, "search_bracket", "ab, @0:2 r6" + not_on},
        {{"[ (", "]"}, 0, 0, "search_bracket", "[( 1 c:], @0:0 r6" + not_on},
        {{"ab"}, 1, 0, "search_bracket", "ab, @1:0 r6" + not_on},
        {{"(a", "b"}, 0, 0, "search_bracket", "(a,b, @2:0 r8 !not found"},
        {{"a", "b)"}, 1, 1, "search_bracket", "a,b), @0:0 r5 !not found"},
        // clang-format on
    });
}

} // namespace
