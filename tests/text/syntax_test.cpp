// Syntax colour in the text model: the scanner of one line, and the span
// state of every line kept through folds and edits.
#include "text/span_state.h"
#include "text/syntax.h"
#include "text/tables_owner.h"
#include "text/tree_owner.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// A class or a state as one character: plain, comment, string, keyword,
// number; a state is '.' for none, the class of the span it is in, '?' not known.
const char class_chars[] = ".csk.n.";

class Syntax : public TablesTest {
  protected:
    language_def *lang = nullptr;
    void SetUp() override {
        TablesTest::SetUp();
        lang = make_top();
        const char *rules[][4] = {
            {"comment", "--\\[\\[", "\\]\\]", ""},     {"comment", "//.*|--.*", "", ""},
            {"comment", "/[*]", "[*]/", ""},       {"string", "\"", "\"", "\\\\."},
            {"keyword", "\\<(if|int)\\>", "", ""}, {"number", "[0-9]+", "", ""},
        };
        for (auto &r : rules)
            ASSERT_EQ(syntax_add(&lang->syntax, syntax_class_of(r[0]), r[1], r[2], r[3], nullptr),
                      SYNTAX_OK);
    }
    // Rule 3 is the string, the other spans are comments.
    static char state_char(int state) {
        if (state == SPAN_UNKNOWN) return '?';
        return state == SPAN_NONE ? '.' : state == SPAN_RULE + 3 ? 's' : 'c';
    }
};

TEST_F(Syntax, ScannerColoursALineAndSaysWhichSpanItEndsIn) {
    struct {
        const char *text;
        int start; // state
        const char *classes, *end;
    } cases[] = {
        {"int x = 42; // if", SPAN_NONE, "kkk.....nn..ccccc", "."},
        {"s = \"/*\"; if", SPAN_NONE, "....ssss..kk", "."}, // an opener inside a string
        {"\"a\\\"b\" 1", SPAN_NONE, "ssssss.n", "."},       // an escaped quote
        {"x \"never closes", SPAN_NONE, "..sssssssssssss", "s"},
        {"more\\\" text\" 7", SPAN_RULE + 3, "ssssssssssss.n", "."},
        {"a /* b", SPAN_NONE, "..cccc", "c"},
        {"b */ if", SPAN_RULE + 2, "cccc.kk", "."},
        {"--[[ long -- ]] 3", SPAN_NONE, "ccccccccccccccc.n", "."}, // the earlier rule first
        {"-- line", SPAN_NONE, "ccccccc", "."},
        {"x", SPAN_RULE + 40, ".", "."}, // a state of no rule
    };
    for (const auto &c : cases) {
        unsigned char classes[LINE_BUF_SIZE];
        int end = syntax_scan(lang->syntax, c.text, c.start, classes);
        std::string got;
        for (size_t i = 0; c.text[i]; i++) got += class_chars[classes[i]];
        EXPECT_EQ(got + " " + state_char(end), std::string(c.classes) + " " + c.end) << c.text;
    }
    int code = 0;
    EXPECT_EQ(syntax_add(&lang->syntax, SYN_TYPE, "x*", "", "", &code), SYNTAX_EMPTY_START);
    EXPECT_EQ(syntax_add(&lang->syntax, SYN_TYPE, "(x", "", "", &code), SYNTAX_BAD_EXPRESSION);
    EXPECT_EQ(code, 2);
    // A rule added after lines were scanned takes part in the next scan.
    ASSERT_EQ(syntax_add(&lang->syntax, SYN_KEYWORD, "\\<y\\>", "", "", nullptr), SYNTAX_OK);
    unsigned char classes[LINE_BUF_SIZE];
    EXPECT_EQ(syntax_scan(lang->syntax, "int y", SPAN_NONE, classes), SPAN_NONE);
    EXPECT_EQ(classes[4], SYN_KEYWORD);
}

// Lines in file order through a closed fold: the states the lines start in
// as each edit, settled, leaves them; the fold line and its end line pass
// the state on.
TEST_F(Syntax, StatesFollowEditsThroughFoldsFromTheEditedLineOn) {
    cur_buffer = buff_create("x.top", -1, lang);
    tree_fold *top = cur_buffer->top;
    std::vector<tree_line *> l; // in file order: 0, 1, fold, 3, 4, its end, 6, 7
    for (const char *t : {"int a;", "x /* open"})
        l.push_back(append_line(top, line_create_text(t)));
    l.push_back(append_line(top, line_create_fold("f", 0, 0)));
    tree_fold *f = line_fold(l[2]);
    for (const char *t : {"inside", "end */ int b;"})
        l.push_back(append_line(f, line_create_text(t)));
    l.push_back(f->end);
    for (const char *t : {"int c;", "last"}) l.push_back(append_line(top, line_create_text(t)));
    line_step_first(top);
    span_settle();
    auto picture = [&] {
        std::string p;
        for (tree_line *x : l) p += state_char(span_state(x));
        return p;
    };
    span_fill(cur_buffer, top, l[3]);
    EXPECT_EQ(picture(), "..cc????"); // known up to the line asked for
    span_fill(cur_buffer, top, l[7]);
    EXPECT_EQ(picture(), "..ccc...");
    struct {
        std::function<void()> edit;
        const char *states;
    } edits[] = {
        {[&] { line_set_text(l[1], "x"); }, "........"},
        {[&] { line_set_text(l[0], "/* top"); }, ".cccc..."}, // opened above everything
        {[&] { line_set_text(l[4], "end"); }, ".ccccccc"},    // the close gone
        {[&] { line_set_text(l[0], "int a;"); }, "........"}, // closed again
        {[&] { line_step_to(f, 1), line_insert(line_create_text("\"s"), f); }, "....ssss"},
        {[&] { line_delete(line_remove(f)); }, "........"},
    };
    for (const auto &e : edits) {
        e.edit();
        span_settle();
        EXPECT_EQ(picture(), e.states);
    }
    span_pause();
}

} // namespace
