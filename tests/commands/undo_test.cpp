// Undo and redo. The heart is a randomized test: random trees edited by a
// few hundred random keys of every kind (typing, deleting, lines, folds,
// blocks, filters, undelete and put into two buffers, 101 pushes, squeezing,
// writing the file, replacing through folds and virtual folds with and
// without confirming, entering and leaving virtual folds, undo and redo
// themselves), against a model that keeps the whole tree (text, folds, names,
// indents, open flags, marks) and the cursor at every point of each buffer's
// journal. Every undo must give back the tree before its action with the
// cursor where the action started, every redo the tree after it with the
// cursor where it ended, neither may touch the undelete stack, and at the end
// everything is undone and redone again.
#include "commands_fixture.h"

#include "commands/block_files.h"
#include "commands/journal.h"
#include "commands/typing.h"
#include "display/keyboard.h"
#include "display/keys.h"
#include "support/scratch.h"
#include "text/alloc.h"
#include "text/buff_file.h"
#include "text/owned.h"

#include <fstream>
#include <map>
#include <random>

namespace {

// The tree as text: every fold with its name, indent, open flag and marks.
void picture(const FOLD *f, std::string &out, bool marks) {
    if (marks && (f->mark1 >= 0 || f->mark2 >= 0))
        out += "|" + std::to_string(f->mark1) + "-" + std::to_string(f->mark2) + "|";
    for (const LINE *l = f->first; l != f->end; l = l->next) {
        if (line_kind(l) == LINE_TEXT) {
            out += line_text(l);
        } else if (line_kind(l) == LINE_VIRT) {
            out += "<" + std::string(line_virt(l)->name) + " " +
                   std::to_string(line_virt(l)->indent) + (line_virt(l)->open ? " o>" : " c>");
        } else {
            const FOLD *g = line_fold(l);
            out += "[" + std::string(g->name) + " " + std::to_string(g->indent) +
                   (g->open ? " o:" : " c:");
            picture(g, out, marks);
            out += "]";
        }
        out += ",";
    }
}

std::string tree_of(const BUFF *b, bool marks = true) {
    std::string out;
    picture(b->top, out, marks);
    return out;
}

// The undelete stack as text, which undo and redo must leave alone.
std::string stack_picture() {
    std::string out;
    for (int i = 0; i < undel_count(); i++) {
        const UNDEL_ENTRY &e = undel_entry(i);
        out += "LB<>S"[e.kind];
        if (e.kind == UNDEL_LINE || e.kind == UNDEL_BLOCK) {
            const LINE *l = e.item.line;
            if (line_kind(l) == LINE_FOLD)
                picture(line_fold(l), out, true);
            else
                out += string_of(l);
        }
        out += ";";
    }
    return out;
}

// Where the cursor is: its fold (by address), line number and into value.
std::string cursor_of(const BUFF *b) {
    return std::to_string(reinterpret_cast<uintptr_t>(b->fold)) + " line " +
           std::to_string(b->line_no) + " into " + std::to_string(b->fold->into);
}

// What the journal of one buffer should hold: the tree at every point, where
// each action started and ended, whether it changed text, the point saved.
struct MODEL {
    std::vector<std::string> trees, texts; // at point k (k actions applied)
    std::vector<std::string> starts, ends; // cursors of action k
    // The point the file matches, known from the first key that finds the
    // buffer current, or else its first action, undo or write: the buffer
    // unchanged then, or none.
    long saved = 0;
    bool saved_known = false;
    bool typing_run = false; // the last action's typed characters may go on
    void know_saved(bool changed) {
        if (!saved_known) saved = changed ? -1 : static_cast<long>(done);
        saved_known = true;
    }

    size_t done = 0;
    size_t size() const { return starts.size(); }
    // Point k becomes the buffer as it is, and the last point.
    void point(size_t k, const BUFF *b) {
        trees.resize(k + 1);
        texts.resize(k + 1);
        trees[k] = tree_of(b);
        texts[k] = tree_of(b, false);
    }
    bool changed() const {
        if (saved < 0) return true;
        size_t lo = std::min<size_t>(saved, done), hi = std::max<size_t>(saved, done);
        for (size_t k = lo; k < hi; k++)
            if (texts[k] != texts[k + 1]) return true;
        return false;
    }
};

// Filters the block by copying it and adding a line.
int add_a_line(const char *, const char *in, const char *out) {
    std::ifstream from(in);
    std::ofstream to(out);
    to << from.rdbuf() << "filtered\n";
    return to.good() ? 1 : 0;
}

class Undo : public CommandsTest {
  protected:
    void SetUp() override {
        live_at_start = alloc_live_blocks();
        CommandsTest::SetUp();
    }
    void TearDown() override {
        CommandsTest::TearDown();
        journal_stop();
        EXPECT_EQ(alloc_live_blocks(), live_at_start) << "every line and string freed";
    }

    MODEL &model(BUFF *b) {
        auto [it, fresh] = models.try_emplace(b->id);
        if (fresh) it->second.point(0, b);
        return it->second;
    }

    // Runs what one key does and holds every buffer's journal to its model.
    template <class Body> void key(bool typing, Body body, const std::string &what) {
        SCOPED_TRACE(what);
        struct BEFORE {
            size_t done, undone;
            std::string cursor;
            bool changed;
        };
        std::map<int, BEFORE> before;
        for (BUFF *b : buffs) {
            if (!b) continue;
            model(b);
            before[b->id] = {journal_done(b), journal_undone(b), cursor_of(b), b->changed != 0};
        }
        if (journal_running()) model(cur_buffer).know_saved(cur_buffer->changed);
        // The stack is read around a third of the undos and redos only.
        bool undo = what == "other_undo", redo = what == "other_redo";
        bool look = (undo || redo) && (undo_keys = undo_keys * 1103515245 + 12345) >> 16 & 1 &&
                    (undo_keys >> 17 & 1);
        std::string stack = look ? stack_picture() : "";
        journal_begin(typing);
        int ok = body();
        journal_end();
        th_key_script({});
        for (auto &[id, was] : before) {
            BUFF *b = lookup_buff_id(id);
            if (!b) {
                models.erase(id); // a child left, its journal with it
                continue;
            }
            ASSERT_EQ(tree_fault(b), "");
            MODEL &m = model(b);
            size_t done = journal_done(b), undone = journal_undone(b);
            std::string tree = tree_of(b);
            if (what == "buffer_read ." && ok && b == cur_buffer) {
                // Read afresh: the journal starts again from the file.
                EXPECT_EQ(done + undone, 0u);
                m = MODEL{};
                m.point(0, b);
                continue;
            }
            if ((undo || redo) && b == cur_buffer) m.know_saved(was.changed);
            if ((undo && done + 1 == was.done) || (redo && done == was.done + 1)) {
                ASSERT_EQ(done + undone, was.done + was.undone);
                m.done = done;
                if (look) {
                    EXPECT_EQ(stack_picture(), stack) << "undo and redo leave the stack alone";
                }
                EXPECT_EQ(tree, m.trees[done]) << "the tree before or after the action";
                // Undo goes to where the action started, redo where it ended.
                const std::string &cursor = undo ? m.starts[done] : m.ends[done - 1];
                if (!cursor.empty()) {
                    EXPECT_EQ(cursor_of(b), cursor);
                }
                EXPECT_EQ(b->changed != 0, m.changed());
            } else if (done == was.done + 1 && undone == 0) {
                // A new action: what could be redone is gone.
                m.know_saved(was.changed);
                if (m.saved > static_cast<long>(was.done)) m.saved = -1;
                m.point(done, b);
                m.starts.resize(was.done);
                m.ends.resize(was.done);
                m.starts.push_back(was.cursor);
                m.ends.push_back(cursor_of(b));
                m.done = done;
                m.typing_run = typing;
            } else {
                ASSERT_EQ(done, was.done);
                ASSERT_EQ(undone, was.undone);
                if (typing && m.typing_run) {
                    // Typed into the run of the last action, which ends where
                    // its last character leaves the cursor.
                    m.point(done, b);
                    m.ends[done - 1] = cursor_of(b);
                } else {
                    ASSERT_EQ(tree, m.trees[done]) << "a change not recorded in " << b->fn;
                }
            }
            ASSERT_EQ(m.size(), done + undone);
            if (!typing) m.typing_run = false;
        }
        for (BUFF *b : buffs)
            if (b && !before.count(b->id)) born(b);
    }

    // A buffer the key made and stayed in: a child that fold_in entered, or
    // that a search entered and stopped in. Its journal starts from its file
    // as read; its first action, the search's replacements in it, started
    // where the first of them was made, which the model does not know.
    void born(BUFF *b) {
        MODEL &m = models[b->id] = MODEL{};
        size_t done = journal_done(b);
        ASSERT_EQ(journal_undone(b), 0u);
        ASSERT_LE(done, 1u);
        if (done) {
            journal_begin(false);
            BUFF *scratch = buff_create("", -1, b->lang);
            ASSERT_NE(scratch, nullptr);
            buff_read(scratch, b->fn);
            m.point(0, scratch);
            buff_delete(scratch);
            journal_end();
            m.starts = {""};
            m.ends = {cursor_of(b)};
            m.saved_known = true;
            m.done = 1;
        }
        m.point(done, b);
    }

    void run_key(const std::string &text) {
        key(
            false, [&] { return exec_commands(text.c_str()); }, text);
    }
    // The current buffer's tree after the key.
    std::string tree_after(const std::string &text) {
        run_key(text);
        return tree_of(cur_buffer);
    }
    // A key the model does not follow (its checks would read the stack).
    static int raw_key(const std::string &text) {
        journal_begin(false);
        int ok = exec_commands(text.c_str());
        journal_end();
        return ok;
    }
    void type_key(char c) {
        key(
            true, [c] { return type_char(static_cast<unsigned char>(c)); },
            std::string("type ") + c);
    }

    // Undoes everything, checking each step, then redoes it all.
    void undo_and_redo_all(BUFF *b) {
        MODEL &m = model(b);
        cur_buffer = b;
        while (journal_done(b)) run_key("other_undo");
        EXPECT_EQ(tree_of(b), m.trees[0]);
        EXPECT_EQ(exec_commands("other_undo") ? "" : last_error(), std::string("nothing to undo"));
        while (journal_undone(b)) run_key("other_redo");
        EXPECT_EQ(tree_of(b), m.trees.back());
        EXPECT_EQ(exec_commands("other_redo") ? "" : last_error(), std::string("nothing to redo"));
    }

    // The files that the virtual fold lines of the random trees name, "v0.c"
    // to "v24.c" and "w.c": text, a fold and (but w.c) a virtual fold.
    void write_virtual_fold_files() {
        for (int i = 0; i < 25; i++) {
            std::string n = std::to_string(i);
            test_support::write_file(files.path("v" + n + ".c"),
                                     "alpha" + n + " beta\n/*...Sinner:2:*/\ngamma delta" + n +
                                         "\n/*...e*/\n/*...vw.c:0:*/\neta\n");
        }
        test_support::write_file(files.path("w.c"), "theta beta\nzeta\n");
    }

    // The answers to the questions of the next key, drawn at random: mostly
    // yes, often no, and Escape when they run out.
    template <class Pick> static void answer_at_random(Pick pick) {
        std::vector<int> keys;
        for (int n = 0; n < 12 && pick(10); n++) {
            if (pick(3) == 0) keys.push_back('n');
            keys.push_back(K_RETURN);
        }
        th_key_script(keys);
    }

    // By buffer id: a buffer's record may be reused by a later child.
    std::map<int, MODEL> models;
    long live_at_start = 0;
    unsigned long undo_keys = 1;
    test_support::scratch_dir files;
};

// ---- The randomized test -----------------------------------------------------

const char *const words[] = {"alpha", "beta",   "  gamma",  "delta epsilon",
                             "",      "\tzeta", "eta;theta"};

std::vector<std::string> random_outline(std::mt19937 &rng, int lines, int depth) {
    std::vector<std::string> out;
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int i = 0; i < lines; i++) {
        int kind = pick(10);
        if (kind < 2 && depth < 3) {
            out.push_back(std::string(pick(2) ? "[+" : "[") + std::string(pick(3), ' ') + "f" +
                          std::to_string(i));
            for (const std::string &inner : random_outline(rng, pick(6), depth + 1))
                out.push_back(inner);
            out.push_back("]");
        } else if (kind == 2) {
            out.push_back("<v" + std::to_string(i) + ".c");
        } else {
            out.push_back(words[pick(7)] + std::to_string(i));
        }
    }
    return out;
}

TEST_F(Undo, RandomEditsUndoneAndRedoneToEveryPoint) {
    test_support::write_file(files.path("part.top"),
                             "read one\n/*...Sinner:2:*/\nread two\n/*...e*/\n");
    for (unsigned seed = 1; seed <= 10; seed++) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        journal_stop();
        models.clear();
        undel_release_all();
        write_virtual_fold_files();
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        build(random_outline(rng, 25, 0), 3);
        std::strcpy(cur_buffer->fn, files.path("one.top").c_str());
        BUFF *one = cur_buffer;
        BUFF *two = buff_create(files.path("two.top").c_str(), -1, top);
        ASSERT_NE(two, nullptr);
        for (const char *l : {"second", "buffer"}) {
            line_insert(line_create_text(l), two->top);
            two->line_no += line_step_next(two->top);
        }
        journal_start();

        // clang-format off
        const std::vector<std::string> commands = {
            "character_delete_left", "character_delete_right", "character_delete_eol",
            "character_tab", "character_left", "character_right", "string_insert \"xy\"",
            "line_insert \"new\"", "line_insert... \"nf\" yes 2", "line_insert::: \"w.c\" no 1",
            "line_delete", "line_yank", "line_split", "line_trans \"a-e\" \"A-E\"", "line_up",
            "line_down", "line_down", "line_goto 7", "block_mark_1", "block_mark_2",
            "block_unmark", "block_fold \"bf\" yes 1", "block_unfold", "block_entab",
            "block_detab", "block_delete", "block_yank", "block_trans \"a-z\" \"A-Z\"",
            "block_read \"" + files.path("part.top") + "\"", "fold_open yes", "fold_open no",
            "fold_start", "fold_end", "other_undelete", "other_undelete", "other_put",
            "other_undo", "other_undo", "other_redo", "setup_insert"};
        // clang-format on
        // Settings: case, expression, folds, virtual folds, forwards, times,
        // confirm. Lines grow until they are too long, and an expression may
        // name a group its match did not close: both stop part way.
        const std::vector<std::string> replaces = {
            R"x(search_replace "a" "aa" yes no always always yes 0 no)x",
            R"x(search_replace "ETA" "e" no no if_open if_open no 0 no)x",
            R"x(search_replace "([a-z][a-z]+)([0-9]+)" "\\2-\\1" yes yes always never yes 3 no)x",
            R"x(search_replace "$" " #" yes yes never always yes 0 no)x",
            R"x(search_replace "e" "" yes no always always no 2 no)x",
            R"x(search_replace "(x)?y" "\\1" yes yes always always yes 0 no)x",
            R"x(search_replace "t" "T" yes no always always yes 0 yes)x",
            R"x(search_replace "[bg]a" "&" no yes if_open always no 0 yes)x"};
        for (int step = 0; step < 300 && !HasFatalFailure(); step++) {
            int what = pick(100);
            if (what < 20) {
                int n = 1 + pick(6);
                for (int i = 0; i < n; i++) type_key(static_cast<char>('a' + pick(26)));
            } else if (what < 23) {
                if (line_kind(line()) == LINE_FOLD || line_kind(line()) == LINE_VIRT) {
                    answer_at_random(pick); // whether to take a buffer of the file already read
                    run_key("fold_in");
                }
            } else if (what < 26) {
                if (fold()->parent || cur_buffer->parent != -1) {
                    answer_at_random(pick); // whether to write a child back
                    run_key("fold_out");
                }
            } else if (what < 28) {
                key(
                    false,
                    [] { return run_with_recovery([] { block_filter_with("add", add_a_line); }); },
                    "filter");
            } else if (what < 30) {
                if (cur_buffer != one && cur_buffer != two) {
                    answer_at_random(pick); // a child is left before another buffer is chosen
                    run_key("fold_out");
                } else {
                    run_key(cur_buffer == one ? "buffer_select \"" + files.path("two.top") + "\""
                                              : "buffer_select \"" + files.path("one.top") + "\"");
                }
            } else if (what < 31) {
                // 101 pushes and more: the stack lets go of its oldest.
                std::string yanks;
                for (int i = 0; i < 40; i++) yanks += "line_yank ";
                run_key(yanks);
            } else if (what < 32) {
                run_key("other_squeeze");
            } else if (what < 34) {
                run_key("buffer_read .");
            } else if (what < 40) {
                // Deleted, then undone and redone while the stack holds the lines.
                run_key(pick(2) ? "line_delete" : "block_delete");
                for (int n = pick(4); n >= 0; n--) run_key(n % 2 ? "other_redo" : "other_undo");
            } else if (what < 42) {
                run_key("buffer_write . no");
                if (!cur_buffer->changed) {
                    model(cur_buffer).saved = static_cast<long>(journal_done(cur_buffer));
                    model(cur_buffer).saved_known = true;
                }
            } else if (what < 52) {
                answer_at_random(pick); // whether to replace each match, when asked
                run_key(replaces[static_cast<size_t>(pick(static_cast<int>(replaces.size())))]);
            } else {
                run_key(commands[static_cast<size_t>(pick(static_cast<int>(commands.size())))]);
            }
        }
        std::vector<int> ids;
        for (const auto &[id, m] : models) ids.push_back(id);
        for (int id : ids) {
            BUFF *b = lookup_buff_id(id);
            ASSERT_NE(b, nullptr);
            SCOPED_TRACE(b == one ? "first buffer" : b == two ? "second buffer" : b->fn);
            undo_and_redo_all(b);
            // Undo half way, then a new edit drops the rest.
            size_t half = journal_done(b) / 2;
            while (journal_done(b) > half) run_key("other_undo");
            run_key("line_insert \"after undo\"");
            EXPECT_EQ(journal_undone(b), 0u);
            undo_and_redo_all(b);
        }
        cur_buffer = one;
        for (BUFF *b : buffs)
            if (b && b != one) {
                ASSERT_EQ(buff_delete(b), 1) << "a buffer's journal goes with it";
            }
    }
}

// ---- Cases the random test meets rarely ---------------------------------------

TEST_F(Undo, ActionsAreKeysWithTypedRunsJoinedOnOneLine) {
    build({"one", "two"});
    journal_start();
    run_key("block_mark_1"); // marks alone are an action, but no change of text
    for (char c : std::string("ab")) type_key(c);
    run_key("character_left");
    type_key('c'); // the cursor moved: a run of its own
    run_key("line_down line_start");
    for (char c : std::string("de")) type_key(c);
    EXPECT_EQ(journal_done(cur_buffer), 4u);
    EXPECT_EQ(tree_of(cur_buffer), "|0--1|acbone,detwo,");
    for (const char *tree : {"|0--1|acbone,two,", "|0--1|abone,two,", "|0--1|one,two,"})
        EXPECT_EQ(tree_after("other_undo"), tree);
    EXPECT_FALSE(cur_buffer->changed) << "marks are not text";
    EXPECT_EQ(tree_after("other_undo"), "one,two,");
    run_key("other_redo");
    run_key("other_redo");
    EXPECT_TRUE(cur_buffer->changed);
}

TEST_F(Undo, ReadingAfreshStartsAgainFromTheFile) {
    build({"one"});
    std::strcpy(cur_buffer->fn, files.path("f.top").c_str());
    journal_start();
    run_key("line_insert \"x\"");
    run_key("buffer_write . no");
    run_key("line_insert \"y\"");
    EXPECT_EQ(tree_after("buffer_read ."), "x,one,");
    EXPECT_FALSE(cur_buffer->changed);
    EXPECT_FALSE(exec_commands("other_undo")) << "nothing before the read";
    run_key("line_insert \"z\"");
    run_key("other_undo");
    EXPECT_FALSE(cur_buffer->changed) << "back at the text read";
    // A buffer read and deleted within one key: the buffer that takes its
    // journal next records from the start.
    journal_begin(false);
    BUFF *gone = buff_create(cur_buffer->fn, -1, top);
    ASSERT_TRUE(buff_read(gone, gone->fn));
    buff_delete(gone);
    journal_end();
    cur_buffer = buff_create("", -1, top);
    run_key("line_insert \"n\"");
    EXPECT_EQ(journal_done(cur_buffer), 1u);
}

TEST_F(Undo, AKeyThatMarksTheBufferChangedWithoutAChangeHidesNotTheTextRead) {
    build({"[+f", "]"});
    journal_start();
    run_key("fold_open yes");
    EXPECT_TRUE(cur_buffer->changed);
    run_key("line_insert \"x\"");
    run_key("other_undo");
    EXPECT_FALSE(cur_buffer->changed) << "the text is as it was";
}

TEST_F(Undo, AVirtualFoldASearchWroteBackStaysWrittenAsTheParentIsUndone) {
    test_support::write_file(files.path("main.top"), "x\n/*...vchild:0:*/\nx\n");
    test_support::write_file(files.path("child"), "one x\n");
    std::strcpy(cur_buffer->fn, files.path("main.top").c_str());
    ASSERT_TRUE(buff_read(cur_buffer, cur_buffer->fn));
    journal_start();
    const std::string replace = "search_replace \"x\" \"y\" yes no always always yes 0 no";
    EXPECT_EQ(tree_after(replace), "y,<child 0 c>,y,");
    // The parent's own replacements go back; the child's file, written when
    // the search left it, keeps its own.
    EXPECT_EQ(tree_after("other_undo"), "x,<child 0 c>,x,");
    EXPECT_FALSE(cur_buffer->changed);
    EXPECT_EQ(test_support::read_file(files.path("child")), "one y\n");
    EXPECT_EQ(tree_after("other_redo"), "y,<child 0 c>,y,");
    // A search that changed the child alone left the parent nothing to undo
    // of it: undo takes back what the parent did before.
    test_support::write_file(files.path("child"), "one x\n");
    run_key("fold_start " + replace);
    EXPECT_EQ(test_support::read_file(files.path("child")), "one y\n");
    EXPECT_EQ(journal_done(cur_buffer), 1u);
    EXPECT_EQ(tree_after("other_undo"), "x,<child 0 c>,x,");
}

TEST_F(Undo, LinesOnTheStackStayTheStacksWhateverTheJournalNeeds) {
    build({"a", "b", "c"});
    BUFF *one = cur_buffer, *two = buff_create("", -1, top);
    journal_start();
    run_key("line_delete");
    run_key("block_mark_1 line_down block_mark_2 block_delete");
    // The deleted lines go into the other buffer as copies: this buffer's
    // journal keeps the lines themselves for its undo.
    cur_buffer = two;
    EXPECT_EQ(tree_after("other_put other_undelete other_undelete"), "|1-2|a,b,b,");
    EXPECT_EQ(stack_picture(), "");
    cur_buffer = one;
    EXPECT_EQ(tree_after("other_undo"), "b,c,");
    EXPECT_EQ(tree_after("other_undo"), "a,b,c,");
    // Squeezed off the stack, the line stays the journal's.
    run_key("line_delete");
    run_key("other_squeeze");
    EXPECT_EQ(tree_after("other_undo"), "a,b,c,");
    run_key("other_redo");
    EXPECT_EQ(tree_after("line_insert \"new\""), "new,b,c,");
    EXPECT_EQ(journal_undone(one), 0u);
    EXPECT_EQ(tree_of(two), "|1-2|a,b,b,");
}

TEST_F(Undo, AnUndoLeavesTheStackACopyOfTheLinesItPutsBack) {
    build({"a", "b", "c"});
    journal_start();
    run_key("block_mark_1 line_down line_down block_mark_2 block_delete");
    const std::string stack = stack_picture();
    // Undone, redone and undone with nothing between: the stack keeps what
    // it showed.
    raw_key("other_undo other_redo other_undo");
    EXPECT_EQ(tree_of(cur_buffer), "a,b,c,");
    EXPECT_EQ(stack_picture(), stack);
    run_key("other_redo");
    EXPECT_EQ(tree_after("other_undo"), "a,b,c,");
    EXPECT_EQ(stack_picture(), stack);
    // A copy that cannot be made: the undo fails with nothing changed.
    EXPECT_EQ(tree_after("string_insert \"q\" block_mark_1 line_down block_mark_2 block_delete"),
              "b,c,");
    alloc_fail_after(1);
    EXPECT_EQ(run("other_undo"), "b,c, @0:1 r22 * BB !out of memory");
    alloc_fail_after(0);
    EXPECT_EQ(tree_after("other_undo"), "a,b,c,");
}

TEST_F(Undo, LinesSqueezedOrDroppedFromTheStackAfterAnUndoAreNotCopiedAgain) {
    build({"a", "b", "c"});
    journal_start();
    for (const std::string deletes :
         {"block_mark_1 line_down block_mark_2 block_delete", "line_delete"}) {
        SCOPED_TRACE(deletes);
        const std::string after = tree_after(deletes);
        raw_key("other_undo"); // leaves the stack its copy of the lines
        // Another copy of the lines would be the first allocation.
        alloc_fail_after(1);
        if (deletes == "line_delete") {
            for (int i = 0; i < UNDEL_MAX; i++) undel_push_char_left('x');
        } else {
            exec_commands("other_squeeze");
        }
        owned_line probe(line_create_text("probe"));
        alloc_fail_after(0);
        EXPECT_FALSE(probe) << "no copy made of lines the stack lets go";
        // The journal keeps what it needs without the entry.
        EXPECT_EQ(tree_of(cur_buffer), "a,b,c,");
        EXPECT_EQ(tree_after("other_redo"), after);
        EXPECT_EQ(tree_after("other_undo"), "a,b,c,");
        undel_release_all();
    }
}

TEST_F(Undo, PastTheLimitTheOldestActionsGo) {
    build({});
    journal_start();
    for (size_t i = 0; i < JOURNAL_MAX_ACTIONS + 5; i++) raw_key("line_insert \"x\"");
    EXPECT_EQ(journal_done(cur_buffer), JOURNAL_MAX_ACTIONS);
    while (journal_done(cur_buffer)) exec_commands("other_undo");
    EXPECT_EQ(tree_of(cur_buffer), "x,x,x,x,x,") << "the five oldest cannot be undone";
    EXPECT_TRUE(cur_buffer->changed) << "the text read is out of reach";
}

} // namespace
