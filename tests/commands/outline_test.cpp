// Outlines: fold_outline by the rules of each kind, with the traps of each
// (a brace in a string or comment, a def in a string, a heading in a fenced
// block, a fold crossing a definition), fold_flatten, undoing both; then real
// files that nobody here wrote, outlined and checked to compile as before.
#include "commands_fixture.h"

#include "commands/ini_file.h"
#include "commands/journal.h"
#include "support/scratch.h"
#include "text/buff_file.h"

#include <cstdio>
#include <filesystem>

namespace {

using Outlines = CommandsTest;

// clang-format off
const std::string c_rule = R"(language_outline . "braces" "" "^# // /*...*/" "\" char:'" )";
const std::string python_rule = R"(language_outline . "indent @" "(def|class) " "#" "\"\"\"...\"\"\" \" '" )";
const std::string markdown_rule = R"(language_outline . "headings # ## ###" "" "<!--...-->" "raw:```...```" )";
const std::string yaml_rule = R"(language_outline . "indent" "[^#]*:$" "_#" "\" block:|" )";
const std::string shell_rule = R"(language_outline . "braces" "" "_#" "raw:'...' \"...\" <<" )";

const std::vector<std::string> c_file = {
    "#define OPEN {", "int f(void);", "/* adds */", "int add(int x)", "{", "  return x + '}' + \"{\"; // }", "}",
    "", "struct s {", "  int get() {", "    return 1; /* { */", "  }", "};"};
const std::vector<std::string> python_file = {
    "@wrap", "def a():", "    s = \"\"\"", "def fake():", "\"\"\"", "    return s", "", "def b(): pass",
    "class A:", "\tclass B:", "\t\tdef m(self):", "\t\t\tpass", "\tdef n(self):", "\t\treturn 1", "", "x = 1"};
// clang-format on

TEST_F(Outlines, EachKindFoldsTheDefinitionsItFindsAndNothingElse) {
    run_cases({
        // clang-format off
        {c_file, 0, 0, "fold_outline 0", "#define OPEN {,int f(void);,/* adds */,int add(int x),{,  return x + '}' + \"{\"; // },},,struct s {,  int get() {,    return 1; /* { */,  },};, @0:0 r6 !no outline rule for this language"},
        {c_file, 5, 3, c_rule + "fold_outline 0", "#define OPEN {,int f(void);,[int add(int x) 0 c:/* adds */,int add(int x),{,  return x + '}' + \"{\"; // },},],,[struct s { 0 c:struct s {,[int get() { 2 c:  int get() {,    return 1; /* { */,  },],};,], @2:0 r6 *"},
        {c_file, 7, 0, "fold_outline 1", "#define OPEN {,int f(void);,[int add(int x) 0 c:/* adds */,int add(int x),{,  return x + '}' + \"{\"; // },},],,[struct s { 0 c:struct s {,  int get() {,    return 1; /* { */,  },};,], @3:0 r6 *"},
        // A fold holding the end of f leaves f as it is; what is folded is not folded twice.
        {{"int f() {", "[piece", "x;", "}", "]", "int g() {", "y;", "}"}, 1, 0, "fold_outline 0 fold_outline 0", "int f() {,[piece 0 c:x;,},],[int g() { 0 c:int g() {,y;,},], @1:0 r6 * !not found"},
        // Decorators go with their def, a def in a string is none, nor one without a body.
        {python_file, 15, 0, python_rule + "fold_outline 0", "[def a(): 0 c:@wrap,def a():,    s = \"\"\",def fake():,\"\"\",    return s,],,def b(): pass,[class A: 0 c:class A:,[class B: 8 c:\tclass B:,[def m(self): 8 c:\t\tdef m(self):,\t\t\tpass,],],[def n(self): 8 c:\tdef n(self):,\t\treturn 1,],],,x = 1, @5:0 r6 *"},
        {{"# One", "text", "```", "# not one", "```", "## Two", "more", "", "# Three", "end"}, 0, 0, markdown_rule + "fold_outline 0", "[# One 0 c:# One,text,```,# not one,```,[## Two 0 c:## Two,more,],],,[# Three 0 c:# Three,end,], @0:0 r6 *"},
        // A block scalar and a here-document hold text only.
        {{"a:", "  run: |", "    b:", "      c", "e: 2"}, 0, 0, yaml_rule + "fold_outline 0", "[a: 0 c:a:,  run: |,    b:,      c,],e: 2, @0:0 r6 *"},
        // The first line of a file keeps its place.
        {{"#!/bin/sh", "f() {", "cat <<EOF", "}", "g() {", "EOF", "}"}, 0, 0, shell_rule + "fold_outline 0", "#!/bin/sh,[f() { 0 c:f() {,cat <<EOF,},g() {,EOF,},], @0:0 r6 *"},
        {{"a"}, 0, 0, R"(language_create "flat" "" "" "" no no no 0 "" language_outline "flat" "braces" "" "" "")", "a, @0:0 r6 !language has no fold markers"},
        {{"a"}, 0, 0, R"(language_outline . "curly" "" "" "")", "a, @0:0 r6 !bad outline kind"},
        {{"a"}, 0, 0, R"(language_outline . "braces" "" "/*..." "")", "a, @0:0 r6 !bad comment or string delimiter"},
        {{"a"}, 0, 0, R"(language_outline . "braces" "" "" "char:ab")", "a, @0:0 r6 !bad comment or string delimiter"},
        {{"a"}, 0, 0, R"(language_outline . "braces" "(" "" "")", "a, @0:0 r6 !unfinished sub-expression"},
        // clang-format on
    });
}

TEST_F(Outlines, FlattenTakesEveryFoldOutAndOneUndoTakesEachCommandBack) {
    build({"a", "[f", "b", "[+g", "c", "]", "<v.c", "]", "[h", "]", "d"}, 1);
    const std::string before = tree_picture(fold());
    journal_start();
    auto key = [this](const char *text) {
        journal_begin(false);
        std::string s = run(text);
        journal_end();
        return s;
    };
    EXPECT_EQ(key("fold_flatten"), "a,b,c,<v.c 0 c>,d, @1:0 r6 *");
    EXPECT_EQ(key("fold_flatten"), "a,b,c,<v.c 0 c>,d, @1:0 r6 *");
    EXPECT_EQ(key(("fold_end " + c_rule + "fold_outline 0").c_str()),
              "a,b,c,<v.c 0 c>,d, @5:0 r22 * !not found");
    EXPECT_EQ(key("other_undo"), before + " @1:0 r6");
    // Outline and flatten are a round trip, each undone by one undo.
    build(c_file, 12);
    const std::string flat = tree_picture(fold());
    key((c_rule + "fold_outline 0").c_str());
    const std::string outlined = tree_picture(fold());
    key("fold_flatten");
    EXPECT_EQ(tree_picture(fold()), flat);
    key("other_undo");
    EXPECT_EQ(tree_picture(fold()), outlined);
    key("other_undo");
    EXPECT_EQ(tree_picture(fold()), flat);
    journal_stop();
}

// ---- Real files ---------------------------------------------------------------------

// The standard output of a shell command, and its exit status after it.
std::string output_of(const std::string &command) {
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    if (!p) return "<no shell>";
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    return out + "\nstatus " + std::to_string(pclose(p));
}

class RealFiles : public CommandsTest {
  protected:
    void SetUp() override {
        CommandsTest::SetUp();
        read_ini_file(OX_SOURCE_DIR "/ox.ini");
    }

    // Outlines the file into its copy in `out`, which keeps the outline; the
    // copy without its marker lines, and the copy flattened again, must be
    // the file. 0 when the editor would not write it back as it was.
    int outline(const std::string &file, const std::string &out) {
        SCOPED_TRACE(file);
        const std::string text = test_support::read_file(file);
        const std::string copy = out + "/" + std::filesystem::path(file).filename().string();
        text_buffer *b = buff_create(copy.c_str(), -1, lang_for_file(copy.c_str())),
                    *home = cur_buffer;
        cur_buffer = b;
        buff_read(b, file.c_str());
        if (!buff_write(b, copy.c_str(), 0) || test_support::read_file(copy) != text) {
            std::filesystem::remove(copy);
            cur_buffer = home;
            buff_delete(b);
            return 0;
        }
        if (!exec_commands("fold_outline 0")) {
            EXPECT_STREQ(last_error(), "not found");
        }
        EXPECT_TRUE(buff_write(b, copy.c_str(), 0));
        std::string outlined = test_support::read_file(copy), stripped;
        int markers = 0;
        for (size_t at = 0, end; at < outlined.size(); at = end + 1) {
            end = outlined.find('\n', at);
            std::string line = outlined.substr(at, end - at + 1);
            line.starts_with(b->lang->rc_start) ? markers++ : (stripped += line, 0);
        }
        EXPECT_EQ(stripped, text);
        const std::string flat = copy + ".flat";
        EXPECT_EQ(exec_commands("fold_flatten"), 1);
        EXPECT_TRUE(buff_write(b, flat.c_str(), 0));
        EXPECT_EQ(test_support::read_file(flat), text);
        std::filesystem::remove(flat);
        cur_buffer = home;
        buff_delete(b);
        return markers;
    }

    // Outlines the files of a folder that end in `suffix`; the marker lines made.
    int outline_all(const std::string &folder, const char *suffix, const std::string &out) {
        int markers = 0;
        std::error_code absent;
        for (const auto &e : std::filesystem::directory_iterator(folder, absent))
            if (e.path().string().ends_with(suffix)) markers += outline(e.path().string(), out);
        return markers;
    }

    test_support::scratch_dir dir;
};

TEST_F(RealFiles, CProgramsOutlinedCompileAsBefore) {
    const std::string examples = "/usr/share/doc/zlib1g-dev/examples";
    if (!std::filesystem::exists(examples) || !output_of("gcc --version").ends_with("status 0"))
        GTEST_SKIP() << "no zlib examples or no gcc";
    const std::string out = dir.path("out");
    std::filesystem::copy(examples, out);
    ASSERT_GT(outline_all(examples, ".c", out), 100);
    outline_all(examples, ".h", out);
    // Same tokens: with the comments gone, nothing differs but white space.
    auto tokens = [](const std::string &folder) {
        std::string text =
            output_of("cd " + folder + " && gcc -fpreprocessed -dD -E -P *.c *.h 2>/dev/null");
        std::erase_if(text, [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
        return text;
    };
    EXPECT_EQ(tokens(out), tokens(examples));
    EXPECT_EQ(output_of("cd " + out + " && gcc -fsyntax-only -w *.c 2>&1 | grep -c error"),
              output_of("cd " + examples + " && gcc -fsyntax-only -w *.c 2>&1 | grep -c error"));
}

TEST_F(RealFiles, PythonModulesOutlinedCompileToTheSameSyntaxTree) {
    const std::string library = "/usr/lib/python3.11", out = dir.path("out");
    if (!std::filesystem::exists(library) || !output_of("python3 -V").ends_with("status 0"))
        GTEST_SKIP() << "no Python library or no python3";
    std::filesystem::create_directory(out);
    // Modules with decorators, nested functions and classes, code in strings.
    int markers = 0;
    for (const char *m :
         {"argparse", "dataclasses", "functools", "string", "tempfile", "textwrap", "typing"})
        markers += outline(library + "/" + m + ".py", out);
    ASSERT_GT(markers, 1000);
    // Each outlined module compiles, to the tree of the module itself.
    const char *same_tree =
        "import ast, pathlib, sys\n"
        "for f in pathlib.Path(sys.argv[1]).glob('*.py'):\n"
        "    src = f.read_bytes(); compile(src, str(f), 'exec')\n"
        "    old = (pathlib.Path(sys.argv[2]) / f.name).read_bytes()\n"
        "    if ast.dump(ast.parse(src)) != ast.dump(ast.parse(old)): print(f)\n";
    test_support::write_file(dir.path("same_tree.py"), same_tree);
    EXPECT_EQ(output_of("python3 " + dir.path("same_tree.py") + " " + out + " " + library),
              "\nstatus 0");
}

} // namespace
