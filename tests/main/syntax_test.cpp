// Syntax colour through a terminal with the shipped ox.ini: a C file and a
// Python file in the colours of their rules, UTF-8 characters and the view
// scrolled sideways, the marked block in its own colours over them, and
// colour turned off with its key.
#include "main/ox_session.h"

namespace {

using Syntax = ox_e2e::OxTest;

// The foreground of each cell of a row's text: '.' for the text's white,
// else the first letter of the colour (curses' order).
std::string colours(const e2e::pty_terminal &t, int r) {
    std::string picture;
    for (int c = 0; c < static_cast<int>(t.row(r).size()); c++)
        picture += "krgybmc."[t.at(r, c).fg & 7];
    return picture;
}

testing::AssertionResult shows(const e2e::pty_terminal &t, const std::vector<std::string> &rows) {
    return const_cast<e2e::pty_terminal &>(t).wait_for(
        [&] {
            for (size_t i = 0; i < rows.size(); i++)
                if (colours(t, 4 + static_cast<int>(i)) != rows[i]) return false;
            return true;
        },
        "the colours " + testing::PrintToString(rows) + " from row 4");
}

TEST_F(Syntax, ACAndAPythonFileInTheColoursOfTheirRules) {
    const std::string long_line = "\"\xc3\xa9\" 1 " + std::string(80, 'x') + " 2 \"s\" /*\n";
    write("hello.c", "#include <stdio.h>\n/* two\n   lines */ int x = 42;\n"
                     "char *s = \"/* no\";\n" +
                         long_line + "on the last row */\n");
    write("f.py",
          "def f(x):  # note\n    \"\"\"doc\n    more\"\"\"\n    return \"s\" if x else 12\n");
    e2e::options utf8;
    utf8.locale = "C.UTF-8";
    utf8.rows = 10; // the last line of hello.c, in a comment, on the last row
    e2e::pty_terminal &t = start({"hello.c", "f.py"}, utf8);
    t.type(ox_e2e::keys::f3); // into the first file
    ASSERT_TRUE(
        shows(t, {"mmmmmmmm..........", "cccccc", "ccccccccccc.ggg.....rr.", "gggg......rrrrrrr.",
                  "rrr.r." + std::string(74, '.'), std::string(18, 'c')}));
    t.type(ox_e2e::keys::mark_1 + ox_e2e::keys::down + ox_e2e::keys::mark_2);
    ASSERT_TRUE(shows(t, {std::string(18, '.'), "cccccc"})); // the marked colour
    t.type(ox_e2e::keys::down + ox_e2e::keys::down + ox_e2e::keys::down + "\x1b[F"); // End
    ASSERT_TRUE(shows(t, {"", "", "rr.", "", std::string(66, '.') + ".r.rrr.cc"}));
    t.type(ox_e2e::keys::f4 + ox_e2e::keys::down + ox_e2e::keys::f3); // into the second
    ASSERT_TRUE(shows(
        t, {"mmm........cccccc", "....rrrrrr", "rrrrrrrrrrr", "....mmmmmm.rrr.mm...mmmm.rr"}));
    t.type("\x0bY");
    ASSERT_TRUE(t.wait_row(2, "syntax colour: yes no"));
    t.type("n\r");
    ASSERT_TRUE(shows(t, {std::string(17, '.'), std::string(10, '.')}));
}

} // namespace
