// Searching in the real program, for what needs a terminal: the questions of
// confirming and of search_again's scope, the count shown, and Escape
// stopping a search, whether it is stuck in one line or going through many.
#include "main/ox_session.h"

namespace {

class Searching : public ox_e2e::OxTest {
  protected:
    // Types the keys and waits for the first status row to show the cursor
    // at this line and column.
    testing::AssertionResult moves_to(const std::string &keys, const std::string &line_col) {
        session->type(keys);
        return session->wait_for([&] { return session->row(0).ends_with(" " + line_col); },
                                 "the cursor at " + line_col);
    }
    // The cursor's line number as the first status row shows it.
    int line_shown() const {
        std::string r = session->row(0);
        r.erase(r.rfind(' '));
        return std::stoi(r.substr(r.rfind(' ') + 1));
    }
    // ox on the file with the exit keys, ^A line_start, ^U line_up, ^N
    // fold_in, ^G search_again, and these bindings.
    void ox(const std::string &name, const std::string &keys) {
        start_with(ox_e2e::exit_keys +
                       "key_bind \"^A\" \"line_start\"\n"
                       "key_bind \"^U\" \"line_up\"\n"
                       "key_bind \"^N\" \"fold_in\"\n"
                       "key_bind \"^G\" \"search_again\"\n" +
                       keys,
                   {name});
    }
};

TEST_F(Searching, ConfirmingEachMatchOrReplacement) {
    write("f.txt", "a a a\na\n");
    ox("f.txt", "key_bind \"^R\" \"search_replace \\\"a\\\" \\\"b\\\" yes no always always "
                "yes 0 yes\"\n"
                "key_bind \"^F\" \"search_for \\\"a\\\" yes no always always yes 0 yes\"\n"
                "key_bind \"^C\" \"search_for \\\"a\\\" yes no always always yes 0 no\"\n");
    const std::string sure = "sure: yes no", key = "press a key ...";
    // Yes replaces, no skips, Escape stops; what was replaced stays.
    // clang-format off
    ASSERT_TRUE(play({{"\x12", 2, sure}, {"\r", 4, "b a a"}, {"", 2, sure}, {"n\r", 2, sure},
                      {"\x1b", 2, "aborted"}, {"", 4, "b a a"}}));
    // Each match shown waits for a key, which is not typed; Escape stops.
    ASSERT_TRUE(play({{"\x01\x06", 2, key}, {"x", 2, key}, {"\x1b", 2, "aborted"},
                      {"\x01\x03", 2, "3 matches"}, {"", 4, "b a a"}}));
    // clang-format on
    session->type("\v\x11");
    EXPECT_TRUE(session->wait_exit(1));
}

TEST_F(Searching, AgainOutsideTheScopeAsksToResetIt) {
    write("f.txt", "x\n/*...sinner:0:*/\nx x\n/*...e*/\n");
    ox("f.txt", "key_bind \"^S\" \"search_for \\\"x\\\" yes no never never yes 1 no\"\n");
    const std::string reset = "no longer in scope of original search, reset scope: yes no",
                      inner = "inner" + ox_e2e::insert_mode.substr(5);
    // clang-format off
    // Typing ahead is dropped when a search starts: each key waits for the last.
    ASSERT_TRUE(moves_to("\x13", "1 2"));
    ASSERT_TRUE(play({{"\x07", 2, "not found"}, {"\x15\x0e", 1, inner}, {"\x07", 2, reset},
                      {"\x1b", 2, "aborted"}, {"\x07", 2, reset}}));
    ASSERT_TRUE(moves_to("\r", "3 2"));
    ASSERT_TRUE(moves_to("\x07", "3 4"));
    ASSERT_TRUE(play({{"\x07", 2, "not found"}, {"", 1, inner}}));
    // clang-format on
    session->type("\v\x11");
    EXPECT_TRUE(session->wait_exit(1));
}

// Searches that take longer than anyone waits: stuck in one long line,
// backtracking through an expression (the back-reference keeps the engine on
// its backtracking walk, which tries every way of cutting the a's before it
// fails at the b), then going through many lines, quick ones, where only the
// walk polls, then slow ones, so that it is still going when Escape comes.
TEST_F(Searching, EscapeStopsASearchInsideALineOrThroughManyLines) {
    std::string text = std::string(400, 'a') + "bc\n";
    for (int i = 0; i < 100000; i++) text += "b\n";
    for (int i = 0; i < 2000; i++) text += std::string(15, 'a') + "bc\n";
    write("long.txt", text);
    ox("long.txt", "key_bind \"^T\" \"search_for \\\"(a|aa|aaa)*(a|aa)*c\\\\\\\\1\\\" yes yes "
                   "never never yes 0 no\"\n"
                   "key_bind \"^D\" \"line_down\"\n");
    // clang-format off
    ASSERT_TRUE(play({{"\x14", 2, "searching ..."}, {"\x1b", 2, "aborted"}}));
    ASSERT_TRUE(moves_to("x\x04", "2 2")) << "typing goes on";
    ASSERT_TRUE(play({{"\x14", 2, "searching ..."}, {"\x1b", 2, "aborted"}}));
    // clang-format on
    // Stopped part of the way, where typing goes on.
    session->type("y");
    ASSERT_TRUE(session->wait_for([&] { return session->row(session->cursor_row())[0] == 'y'; },
                                  "y typed at the cursor"));
    EXPECT_GT(line_shown(), 2);
    EXPECT_LT(line_shown(), 102002);
    session->type("\v\x11");
    EXPECT_TRUE(session->wait_exit(1));
}

} // namespace
