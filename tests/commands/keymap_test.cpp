// The shipped key map, ox.ini: every line runs, every command it binds exists
// and no key is bound twice; languages are picked by the names of their
// files, and each reads and writes a nested fold in its own markers byte for
// byte. And the help command, which shows the key map read at start-up.
#include "commands_fixture.h"

#include "commands/command_table.h"
#include "commands/help_command.h"
#include "commands/ini_file.h"
#include "support/scratch.h"
#include "text/buff_file.h"
#include "text/flags.h"

#include <fstream>

namespace {

using test_support::read_file;
using test_support::write_file;

const std::string shipped = OX_SOURCE_DIR "/ox.ini";

// Skips one argument of a command text: a quoted string (a backslash takes the
// next byte), a character in single quotes, or a word ("?", a number, yes ...).
const char *skip_argument(const char *p) {
    if (*p == '"') {
        char text[LINE_BUF_SIZE];
        const char *after = scan_quoted_str(p, text);
        return after != nullptr ? after : p + std::strlen(p);
    }
    if (*p == '\'' && p[1] != '\0' && p[2] == '\'') return p + 3;
    while (*p != '\0' && !is_space_byte(static_cast<unsigned char>(*p))) p++;
    return p;
}

// The command names a command text runs, in order, as the executor reads
// them; the walk stops after a name that is no command.
std::vector<std::string> commands_in(const char *text) {
    std::vector<std::string> names;
    for (const char *p = skip_space(text); *p != '\0' && *p != ';'; p = skip_space(p)) {
        const char *end = p;
        while (*end != '\0' && !is_space_byte(static_cast<unsigned char>(*end))) end++;
        names.emplace_back(p, end);
        int i = lookup_command(names.back().c_str());
        if (i < 0 || cmd_table[i].func == nullptr) break;
        p = end;
        for (int a = 0; a < cmd_table[i].n_args; a++) p = skip_argument(skip_space(p));
    }
    return names;
}

// Runs every line of the shipped file as the initialisation file does.
class ShippedKeyMap : public CommandsTest {
  protected:
    void SetUp() override {
        CommandsTest::SetUp();
        std::ifstream in(shipped);
        ASSERT_TRUE(in.good()) << shipped;
        std::string line;
        for (int n = 1; std::getline(in, line); n++) {
            const char *p = skip_space(line.c_str());
            EXPECT_LE(line.size(), size_t{LINE_MAX_TEXT}) << "line " << n;
            if (*p == ';' || *p == '\0') continue;
            EXPECT_NE(*p, '$') << "line " << n << " would switch reading off";
            EXPECT_EQ(exec_commands(p), 1) << "line " << n << ": " << last_error();
            if (line.starts_with("key_bind ") || line.starts_with("key_prefix ")) made++;
        }
    }
    int made = 0; // bindings the lines make
};

TEST_F(ShippedKeyMap, EveryLineRunsAndEveryCommandItBindsExists) {
    EXPECT_EQ(n_bindings, made) << "a key bound twice keeps only its last binding";
    for (int i = 0; i < n_bindings; i++) {
        const key_binding &b = bindings[i];
        if (b.key2 == 0 && is_prefix_key(b.key1)) continue;
        std::vector<std::string> names = commands_in(b.action);
        EXPECT_FALSE(names.empty()) << b.action;
        for (const std::string &name : names) {
            int c = lookup_command(name.c_str());
            EXPECT_TRUE(c >= 0 && cmd_table[c].func != nullptr) << name << " in " << b.action;
        }
    }
}

// A file in the markers of a language: an open fold holding text, a closed
// fold at indent 4 and a closed virtual fold line, between text lines, one of
// them a plain comment of the language.
std::string folded_file(const std::string &start, const std::string &end) {
    auto marker = [&](const std::string &body) { return start + body + end + "\n"; };
    const std::string comment = start.substr(0, start.size() - 3) + " plain comment" + end;
    return comment + "\nbefore\n" + marker("Souter:0:") + "outer\n" + marker("sinner fold:4:") +
           "\tinner\n" + marker("e") + marker("vlib\\47\\x\\46\\c:4:") + marker("e") + "after\n";
}

TEST_F(ShippedKeyMap, EachLanguageIsPickedByItsNamesAndReadsAndWritesANestedFoldAsItWas) {
    // Names of files, and the language that claims each ("top" for none).
    const std::pair<const char *, const char *> names[] = {
        // clang-format off
        {"/a.d/b/x.c", "c"}, {"x.C", "c++"}, {"x.c++", "c++"}, {"/home/u/.bashrc", "shell"},
        {".profile", "shell"}, {"app/Gemfile", "ruby"}, {"src/CMakeLists.txt", "cmake"},
        {"src/makefile", "make"}, {"Makefile.in", "make"}, {"x.R", "r"}, {"x.svg", "xml"},
        {"x.c.bak", "top"}, {"x.c/notes", "top"}, {"x.S", "top"}, {"xMakefile", "top"},
        {"x.pyc", "top"}, {"Makefile.d/x", "top"}, {"README", "top"},
        // clang-format on
    };
    for (auto [file, name] : names) {
        const language_def *l = guess_lang_of(file);
        EXPECT_STREQ(l ? l->name : "top", name) << file;
    }
    // The markers of each language are its own: the tree shows them read.
    test_support::scratch_dir dir;
    const std::string name = dir.path("file"), copy = dir.path("copy");
    for (int i = 1; i < n_langs; i++) {
        SCOPED_TRACE(langs[i]->name);
        EXPECT_EQ(langs[i]->flags & ~FLAG_TABS, unsigned{FLAG_AUTOINDENT | FLAG_INSERT});
        const std::string text = folded_file(langs[i]->rc_start, langs[i]->rc_end);
        write_file(name, text);
        text_buffer *b = buff_create(name.c_str(), -1, langs[i]);
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(buff_read(b, name.c_str()));
        EXPECT_EQ(tree_picture(b->top),
                  text.substr(0, text.find('\n')) +
                      ",before,[outer 0 o:outer,[inner fold 4 c:\tinner,],<lib/x.c 4 c>,],after,");
        ASSERT_TRUE(buff_write(b, copy.c_str(), 0));
        EXPECT_EQ(read_file(copy), text);
        buff_delete(b);
    }
    EXPECT_GT(n_langs, 25);
}

// The help command, after an initialisation file was read, or none could be.
class Help : public CommandsTest {
  protected:
    std::string buffers() const {
        std::string s;
        for (const text_buffer *b : buffs)
            if (b != nullptr) s += (b == cur_buffer ? ">" : "") + std::string(b->fn) + " ";
        return s;
    }
    test_support::scratch_dir dir;
};

TEST_F(Help, ShowsTheKeyMapInABufferOfItsOwnOnceOrChangesNothing) {
    read_ini_file(dir.path("missing.ini").c_str()); // the default bindings
    EXPECT_EQ(exec_commands("other_help"), 1) << last_error();
    EXPECT_EQ(buffers(), "> ") << "no key map read: nothing to show";

    help_set_guide("/usr/share/doc/ox/user-guide.md");
    const std::string key_map = dir.path("keys.ini");
    write_file(key_map, "key_bind \"F1\" \"other_help\"\n");
    read_ini_file(key_map.c_str());
    ASSERT_EQ(exec_commands("other_help"), 1) << last_error();
    EXPECT_EQ(buffers(), " >" + key_map + " ");
    EXPECT_STREQ(line_text(line()), "key_bind \"F1\" \"other_help\"");
    EXPECT_EQ(cur_buffer->changed, 0);
    // From another buffer it selects the same one again.
    ASSERT_EQ(exec_commands("buffer_create \"\" no yes other_help"), 1) << last_error();
    EXPECT_EQ(buffers(), " >" + key_map + "  ");
    // A key map gone since: no buffer is left for it.
    cur_buffer = buffs[0];
    ASSERT_EQ(exec_commands(("buffer_delete \"" + key_map + "\"").c_str()), 1) << last_error();
    std::filesystem::remove(key_map);
    EXPECT_EQ(exec_commands("other_help"), 0);
    EXPECT_EQ(last_error(), "can't open " + key_map);
    EXPECT_EQ(buffers(), ">  ");
}

} // namespace
