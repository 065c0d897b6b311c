// The buffer and language commands, with their files in a scratch folder, and
// the colour and screen-size commands as far as they go without a terminal
// (the questions and messages: buffer_session_test.cpp).
#include "commands_fixture.h"

#include "commands/write_back.h"
#include "display/keyboard.h"
#include "display/keys.h"
#include "support/scratch.h"

namespace {

using test_support::read_file;
using test_support::write_file;
using names = std::set<std::string>;

// Works in a scratch folder of its own, with a language "c" for ".c" files
// besides "top".
class BufferCommands : public CommandsTest {
  protected:
    void SetUp() override {
        CommandsTest::SetUp();
        ASSERT_NE(lang_create("c", "/*...", "*/", ".*\\.c", "_", 0x204), nullptr);
    }
    void TearDown() override {
        backups = 1;
        CommandsTest::TearDown();
    }

    // Every buffer in slot order: ">" for the current one, its file name, its
    // language in brackets and "*" when it changed; then "|" and the
    // languages, oldest first; then " !" and the message of an error.
    std::string tables(bool ok = true) const {
        std::string s;
        for (const text_buffer *b : buffs) {
            if (!b) continue;
            s += (b == cur_buffer ? ">" : "") + std::string(b->fn) + "(" + b->lang->name + ")" +
                 (b->changed ? "*" : "") + " ";
        }
        s += "|";
        for (int i = 0; i < n_langs; i++) s += std::string(" ") + langs[i]->name;
        return ok ? s : s + " !" + last_error();
    }
    std::string tables_after(const std::string &text) {
        return tables(exec_commands(text.c_str()));
    }
    std::string path(const std::string &name) const { return files.path(name); }

    test_support::scratch_dir files;
    test_support::working_dir here{files.path()};
};

const std::string plain_language = R"(language_create "plain" "" "" "" no no yes 0 "")";

TEST_F(BufferCommands, MakingSelectingRenamingAndDeletingBuffersAndLanguages) {
    const struct {
        std::string text, tables;
    } cases[] = {
        // clang-format off
        // A buffer takes the language its name picks, else "top"; reading
        // and selecting are asked for.
        {R"(buffer_create "a.c" no no)", ">(top) a.c(c) | top c"},
        {R"(buffer_create "a.c" no yes buffer_create "b.txt" no no)", "(top) >a.c(c) b.txt(top) | top c"},
        {R"(buffer_create "" no yes)", "(top) >(top) | top c"},
        {R"(buffer_create "/dev/null" no no)", ">(top) | top c !bad filename /dev/null"},
        {plain_language + R"( language_select "plain" language_delete "top" buffer_create "x" no no)",
         ">(plain) | c plain !can't deduce language"},
        // Renaming changes the name alone and makes the buffer one to write.
        {R"(buffer_create "a.c" no no buffer_rename "a.c" "b.top")", ">(top) b.top(c)* | top c"},
        {R"(buffer_rename . "sub\\x.c")", ">sub/x.c(top)* | top c"},
        {R"(buffer_rename . "/dev/x")", ">(top) | top c !bad filename /dev/x"},
        {R"(buffer_create "a.c" no no buffer_select "a.c")", "(top) >a.c(c) | top c"},
        // Only a buffer other than the current one can go.
        {R"(buffer_create "a.c" no no buffer_delete "a.c")", ">(top) | top c"},
        {R"(buffer_delete .)", ">(top) | top c !can't delete current buffer"},
        // Languages: in use or not, renamed, and one name twice, the newer
        // found first, by name and by file name.
        {R"(language_select "c" language_delete "top")", ">(c) | c"},
        {R"(buffer_create "a.c" no no language_delete "c")", ">(top) a.c(c) | top c !can't delete language if in use"},
        {R"(language_rename "c" "cc" buffer_create "a.c" no no)", ">(top) a.c(cc) | top cc"},
        {R"(language_create "c" "//" "" ".*\\.c" no no no 0 "" language_rename "c" "c2" buffer_create "a.c" no no)",
         ">(top) a.c(c2) | top c c2"},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        TearDown();
        SetUp();
        EXPECT_EQ(tables_after(c.text), c.tables);
    }
}

TEST_F(BufferCommands, SixtyBuffersAtMostAndIdsAreNeverReused) {
    for (int i = 1; i < MAX_BUFFS; i++) {
        std::string text = "buffer_create \"f" + std::to_string(i) + "\" no no";
        ASSERT_EQ(exec_commands(text.c_str()), 1) << last_error();
    }
    EXPECT_EQ(exec_commands(R"(buffer_create "f60" no no)"), 0);
    EXPECT_STREQ(last_error(), "out of memory");
    EXPECT_EQ(n_buffs, MAX_BUFFS);
    ASSERT_EQ(std::string(buffs[7]->fn), "f7");
    int old_id = buffs[7]->id, next_id = buffs[MAX_BUFFS - 1]->id + 1;
    ASSERT_EQ(exec_commands(R"(buffer_delete "f7" buffer_create "again" no no)"), 1);
    EXPECT_EQ(std::string(buffs[7]->fn), "again") << "the lowest free slot";
    EXPECT_EQ(buffs[7]->id, next_id) << "with a new id";
    EXPECT_EQ(lookup_buff_id(old_id), nullptr);
}

TEST_F(BufferCommands, FortyLanguagesAtMost) {
    for (int i = n_langs; i < MAX_LANGS; i++) {
        std::string text =
            R"(language_create "l)" + std::to_string(i) + R"(" "#" "" "" no no no 0 "")";
        ASSERT_EQ(exec_commands(text.c_str()), 1) << last_error();
    }
    EXPECT_EQ(exec_commands(plain_language.c_str()), 0);
    EXPECT_STREQ(last_error(), "out of memory");
    ASSERT_EQ(exec_commands(("language_delete \"l5\" " + plain_language).c_str()), 1);
    EXPECT_STREQ(langs[MAX_LANGS - 1]->name, "plain");
}

// A language made with its own markers and settings (white space visible, no
// autoindent, insert mode, tabs of 260 & 255).
TEST_F(BufferCommands, ALanguageMadeReadsAndWritesItsMarkersAndRestoresItsSettings) {
    const std::string script = "#!/bin/sh\n#...Ssetup:0:\nA=1\n#...sinner:2:\n  B=2\n#...e\n"
                               "#...e\n#...vlib\\46\\sh:0:\necho $A\n"; // "." written as its code
    write_file(path("run.sh"), script);
    ASSERT_EQ(exec_commands(R"(language_create "sh" "#..." "" ".*\\.sh" yes no yes 260 "")"), 1);
    ASSERT_EQ(exec_commands(R"(buffer_create "run.sh" yes yes)"), 1) << last_error();
    EXPECT_EQ(state(),
              "#!/bin/sh,[setup 0 o:A=1,[inner 2 c:  B=2,],],<lib.sh 0 c>,echo $A, @0:0 r4");
    ASSERT_EQ(exec_commands("other_backups no buffer_write . no"), 1) << last_error();
    EXPECT_EQ(read_file(path("run.sh")), script);
    EXPECT_EQ(cur_buffer->flags, 0x604u);
    ASSERT_EQ(exec_commands("setup_tabs 8 setup_insert setup_visible setup_autoindent"), 1);
    EXPECT_EQ(cur_buffer->flags, 0x108u);
    ASSERT_EQ(exec_commands("language_select ."), 1);
    EXPECT_EQ(cur_buffer->flags, 0x604u);
    ASSERT_EQ(exec_commands(R"(language_select "top")"), 1);
    EXPECT_EQ(cur_buffer->flags, 0x300u);
}

TEST_F(BufferCommands, ReadingDiscardsChangesAndStartsAtTheFirstLine) {
    write_file(path("r.c"), "one\n/*...sf:0:*/\ntwo\n/*...e*/\nthree\n");
    ASSERT_EQ(exec_commands(R"(buffer_create "r.c" yes yes)"), 1) << last_error();
    const std::string read = "one,[f 0 c:two,],three, @0:0 r4";
    EXPECT_EQ(state(), read);
    EXPECT_EQ(run(R"(line_down fold_in string_insert "x" buffer_read .)"), read);
    EXPECT_EQ(cur_buffer->line_no, 0);
    // A file that cannot be opened leaves the buffer as it was; after a fault
    // in the fold structure the rest of the file is kept as text lines,
    // changed or not as before.
    std::remove(path("r.c").c_str());
    EXPECT_EQ(run(R"(string_insert "x" buffer_read .)"),
              "xone,[f 0 c:two,],three, @0:1 r4 * !can't open r.c");
    write_file(path("r.c"), "four\n/*...sf:0:*/\nfive\n");
    EXPECT_EQ(run("buffer_read ."),
              "four,/*...sf:0:*/,five, @0:0 r4 * !fold structure corrupt in r.c");
    // Made and read, it stays, not selected, with what was read.
    build({"x"});
    EXPECT_EQ(tables_after(R"(buffer_create "r.c" yes yes)"),
              "(top) r.c(c) >(top) | top c !fold structure corrupt in r.c");
}

// A buffer "w.txt" of two lines written over an old file (or none) with and
// without append and backups; an older backup lies beside it.
TEST_F(BufferCommands, WritingReplacesOrAppendsAndKeepsTheBackupAndMode) {
    const std::string old_text = "old\n", buffer_text = "new\n/*...sf:0:*/\nin\n/*...e*/\n";
    const struct {
        bool backups, append, old_file;
        std::string file, backup;
    } cases[] = {
        {true, false, true, buffer_text, old_text},
        {true, true, true, old_text + buffer_text, old_text},
        {false, true, true, old_text + buffer_text, "older\n"},
        {false, false, true, buffer_text, "older\n"},
        {true, true, false, buffer_text, "older\n"},
    };
    mode_t mask = umask(0);
    umask(mask);
    const int new_file_mode = 0666 & ~static_cast<int>(mask);
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.backups ? "backups" : "no backups") +
                     (c.append ? " append" : "") + (c.old_file ? "" : " no file"));
        std::remove(path("w.txt").c_str());
        if (c.old_file) write_file(path("w.txt"), old_text, 0640);
        write_file(path("w.bak"), "older\n");
        build({"new", "[f", "in"});
        std::strcpy(cur_buffer->fn, "w.txt");
        cur_buffer->changed = 1;
        backups = c.backups;
        std::string text = std::string("buffer_write . ") + (c.append ? "yes" : "no");
        EXPECT_EQ(run(text), "new,[f 0 c:in,], @0:0 r6");
        EXPECT_EQ(read_file(path("w.txt")), c.file);
        EXPECT_EQ(read_file(path("w.bak")), c.backup);
        EXPECT_EQ(test_support::permissions(path("w.txt")), c.old_file ? 0640 : new_file_mode);
        EXPECT_EQ(files.names(), (names{"w.txt", "w.bak"}));
    }
}

TEST_F(BufferCommands, AWriteThatFailsLeavesTheFileTheBackupAndTheChangedFlag) {
    const std::string big(400, 'b');
    build({big, big, big});
    std::strcpy(cur_buffer->fn, "w.txt");
    cur_buffer->changed = 1;
    for (const char *text : {"buffer_write . no", "buffer_write . yes"}) {
        SCOPED_TRACE(text);
        write_file(path("w.txt"), "old\n", 0640);
        write_file(path("w.bak"), "older\n");
        {
            test_support::file_size_limit limit(1000);
            EXPECT_EQ(exec_commands(text), 0);
        }
        EXPECT_STREQ(last_error(), "can't write w.txt");
        EXPECT_EQ(cur_buffer->changed, 1);
        EXPECT_EQ(read_file(path("w.txt")), "old\n");
        EXPECT_EQ(read_file(path("w.bak")), "older\n");
        EXPECT_EQ(files.names(), (names{"w.txt", "w.bak"}));
    }
    // A folder that has gone.
    std::strcpy(cur_buffer->fn, "gone/w.txt");
    EXPECT_EQ(exec_commands("buffer_write . no"), 0);
    EXPECT_STREQ(last_error(), "can't write gone/w.txt");
    EXPECT_EQ(cur_buffer->changed, 1);
}

// A file whose every line ends in CR LF is held without the CRs and written
// back with them; one whose line ends are mixed keeps every byte.
TEST_F(BufferCommands, LinesEndingInCrLfAreHeldWithoutTheCrAndWrittenBackWithIt) {
    const std::string full(500, 'i'), dos = "a\r\n/*...sf:0:*/\r\n" + full + "\r\n/*...e*/\r\n";
    const struct {
        std::string file, picture, written;
    } cases[] = {
        {dos, "a,[f 0 c:" + full + ",],", dos},
        {dos + "b", "a,[f 0 c:" + full + ",],b,", dos + "b\r\n"},
        {"a\r\nb\n", "a\r,b,", "a\r\nb\n"},
        {"a\nb\r\n", "a,b\r,", "a\nb\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.picture);
        write_file(path("d.txt"), c.file);
        ASSERT_EQ(exec_commands(R"(buffer_create "d.txt" yes yes buffer_write . no)"), 1);
        EXPECT_EQ(tree_picture(fold()), c.picture);
        EXPECT_EQ(read_file(path("d.txt")), c.written);
    }
    // Typed at the end of a line, text goes before its line end; blocks and
    // other names take the buffer's line ends; a block read loses its CRs.
    write_file(path("d.txt"), "a\r\nb\r\n");
    ASSERT_EQ(exec_commands(R"(buffer_create "d.txt" yes yes line_end string_insert "x" )"
                            R"(block_mark_1 fold_end block_mark_2 block_write "blk.txt" no )"
                            R"(buffer_rename . "r.txt" buffer_write . no)"),
              1)
        << last_error();
    EXPECT_EQ(read_file(path("blk.txt")), "ax\r\nb\r\n");
    EXPECT_EQ(read_file(path("r.txt")), "ax\r\nb\r\n");
    build({"z"});
    EXPECT_EQ(run(R"(block_read "d.txt")"), "a,b,z, @0:0 r6 * |0-2");
}

// Two buffers of one file, named alike or through "./", a symbolic or a hard
// link: the second to write asks first, "no" first, not to lose the first's.
TEST_F(BufferCommands, TheSecondOfTwoBuffersOfOneFileAsksBeforeWritingOverTheFirst) {
    write_file(path("o.txt"), "x\n");
    write_file(path("w.txt"), "x\n");
    std::filesystem::create_symlink("w.txt", path("l.txt"));
    std::filesystem::create_hard_link(path("w.txt"), path("h.txt"));
    const struct {
        std::string name;
        std::vector<int> keys;
        std::string w_txt, error;
    } cases[] = {
        {"w.txt", {}, "1x\n", "aborted"},
        {"./w.txt", {K_RETURN}, "1x\n", "aborted"},
        {"l.txt", {'y', K_RETURN}, "2x\n", ""},
        {"h.txt", {}, "1x\n", "aborted"},
        {"o.txt", {}, "1x\n", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        write_file(path("w.txt"), "x\n");
        th_key_script(c.keys);
        int ok = exec_commands(
            (R"(buffer_create "w.txt" yes yes string_insert "1" buffer_create ")" + c.name +
             R"(" yes yes string_insert "2" buffer_write "w.txt" no )" + "buffer_write . no")
                .c_str());
        th_key_script({});
        EXPECT_EQ(ok ? "" : last_error(), c.error);
        EXPECT_EQ(read_file(path("w.txt")), c.w_txt);
    }
}

// Colours and sizes without a terminal: the screen is not in colour, so only
// values outside the colour bits are refused, and no size is ever set.
TEST_F(CommandsTest, ColoursAndScreenSizesWithoutATerminal) {
    const std::vector<int> saved(col_tab, col_tab + COLOUR_USES);
    auto colours = [] {
        std::string s;
        for (int c : col_tab) s += std::to_string(c) + " ";
        return s;
    };
    EXPECT_EQ(exec_commands("other_colours 1 2 3 4 &7ff 0"), 1);
    EXPECT_EQ(colours(), "1 2 3 4 2047 0 ");
    EXPECT_EQ(run("other_colours &800 5 4294967295 &17 &70 &1000"), " @0:0 r4 !bad number");
    EXPECT_EQ(colours(), "1 5 3 23 112 0 ") << "the others are taken";
    std::copy(saved.begin(), saved.end(), col_tab);

    long clears = th_stats.clears;
    for (const char *text :
         {"other_mode 0 0", "other_mode 80 0", "other_mode 0 24", "other_mode 80 24"})
        EXPECT_EQ(exec_commands(text), 1) << text;
    for (const char *text :
         {"other_mode 39 0", "other_mode 201 24", "other_mode 0 9", "other_mode 100 151"})
        EXPECT_EQ(run(text), " @0:0 r4 !unable to set mode");
    EXPECT_EQ(th_stats.clears, clears) << "the screen was never left";
    EXPECT_EQ(x_size * 1000 + y_size, 80024);
    EXPECT_EQ(desired_x_size * 1000 + desired_y_size, 0);
}

} // namespace
