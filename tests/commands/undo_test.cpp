// Undo and redo. The heart is a randomized test: random trees edited by a
// few hundred random keys of every kind (typing, deleting, lines, folds,
// blocks, filters, undelete and put into two buffers, 101 pushes, squeezing,
// writing the file, replacing through folds and virtual folds with and
// without confirming, entering and leaving virtual folds, undo and redo
// themselves), against a model that keeps the whole tree (text, folds, names,
// indents, open flags, marks) and the cursor at every point of each buffer's
// journal. Every undo must give back the tree before its action with the
// cursor where the action started, every redo the tree after it with the
// cursor where it ended, neither may change what the undelete stack shows,
// and at the end everything is undone and redone again.
#include "commands_fixture.h"

#include "commands/block_files.h"
#include "commands/journal.h"
#include "commands/typing.h"
#include "display/keyboard.h"
#include "display/keys.h"
#include "support/scratch.h"
#include "text/alloc.h"
#include "text/buff_file.h"

#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <tuple>

namespace {

// The tree as text: every fold with its name, indent, open flag and marks.
std::string tree_of(const text_buffer *b) {
    return tree_picture(b->top, true);
}

// The undelete stack as text: kinds, and the lines of lines and blocks.
std::string stack_picture() {
    std::string out;
    for (int i = 0; i < undel_count(); i++) {
        const undelete_entry &e = undel_entry(i);
        out += "LB<>S"[e.kind];
        if (e.kind == UNDEL_LINE || e.kind == UNDEL_BLOCK) {
            const tree_line *l = e.item.line;
            out += line_kind(l) == LINE_FOLD ? tree_picture(line_fold(l), true) : string_of(l);
        }
        out += ";";
    }
    return out;
}

// Where the cursor is: its fold (by address), line number and into value.
std::string cursor_of(const text_buffer *b) {
    return std::to_string(reinterpret_cast<uintptr_t>(b->fold)) + " line " +
           std::to_string(b->line_no) + " into " + std::to_string(b->fold->into);
}

// What the journal of one buffer should hold: the tree at every point, where
// each action started and ended, the point saved.
struct journal_model {
    std::vector<std::string> trees;        // at point k (k actions applied)
    std::vector<std::string> starts, ends; // cursors of action k
    // The point the file matches, known from the first key that finds the
    // buffer current, or else its first action, undo or write: the buffer
    // unchanged then, or none.
    long saved = 0;
    bool saved_known = false;
    bool typing_run = false; // the last action's typed characters may go on
    size_t done = 0;

    void know_saved(bool changed) {
        if (!saved_known) saved = changed ? -1 : static_cast<long>(done);
        saved_known = true;
    }
    // Point k becomes the buffer as it is, and the last point.
    void point(size_t k, const text_buffer *b) {
        trees.resize(k + 1);
        trees[k] = tree_of(b);
    }
    // Whether the text (marks aside) differs between the saved point and now.
    bool changed() const {
        if (saved < 0) return true;
        size_t lo = std::min<size_t>(saved, done), hi = std::max<size_t>(saved, done);
        const std::regex marks("\\|-?[0-9]+--?[0-9]+\\|");
        for (size_t k = lo; k < hi; k++)
            if (std::regex_replace(trees[k], marks, "") !=
                std::regex_replace(trees[k + 1], marks, ""))
                return true;
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
    void TearDown() override {
        CommandsTest::TearDown();
        journal_stop();
        EXPECT_EQ(alloc_live_blocks(), live_at_start) << "every line and string freed";
    }

    journal_model &model(text_buffer *b) {
        auto [it, fresh] = models.try_emplace(b->id);
        if (fresh) it->second.point(0, b);
        return it->second;
    }

    // Runs what one key does and holds every buffer's journal to its model.
    template <class Body> void key(const std::string &what, bool typing, Body body) {
        SCOPED_TRACE(what);
        // By buffer: done, undone, the cursor and the changed flag before.
        std::map<int, std::tuple<size_t, size_t, std::string, bool>> before;
        for (text_buffer *b : buffs) {
            if (!b) continue;
            model(b);
            before[b->id] = {journal_done(b), journal_undone(b), cursor_of(b), b->changed != 0};
        }
        if (journal_running()) model(cur_buffer).know_saved(cur_buffer->changed);
        bool undo = what == "other_undo", redo = what == "other_redo";
        const std::string stack = stack_picture();
        journal_begin(typing);
        int ok = body();
        journal_end();
        th_key_script({});
        for (auto &[id, was] : before) {
            auto &[was_done, was_undone, was_cursor, was_changed] = was;
            text_buffer *b = lookup_buff_id(id);
            if (!b) {
                models.erase(id); // a child left, its journal with it
                continue;
            }
            ASSERT_EQ(tree_fault(b), "");
            journal_model &m = model(b);
            size_t done = journal_done(b), undone = journal_undone(b);
            std::string tree = tree_of(b);
            if (what == "buffer_read ." && ok && b == cur_buffer) {
                // Read afresh: the journal starts again from the file.
                EXPECT_EQ(done + undone, 0u);
                m = journal_model{};
                m.point(0, b);
                continue;
            }
            if ((undo || redo) && b == cur_buffer) m.know_saved(was_changed);
            if (what == "buffer_write . no" && b == cur_buffer && !b->changed) {
                m.saved = static_cast<long>(done); // written: the file is now this point
                m.saved_known = true;
            }
            if (typing && m.typing_run) {
                // Typed into the run of the last action, which ends where its
                // last character leaves the cursor.
                ASSERT_EQ(done, was_done) << "typed keys one after the other are one action";
                ASSERT_EQ(undone, was_undone);
                m.point(done, b);
                m.ends[done - 1] = cursor_of(b);
            } else if ((undo && done + 1 == was_done) || (redo && done == was_done + 1)) {
                ASSERT_EQ(done + undone, was_done + was_undone);
                m.done = done;
                EXPECT_EQ(stack_picture(), stack) << "undo and redo leave the stack alone";
                EXPECT_EQ(tree, m.trees[done]) << "the tree before or after the action";
                // Undo goes to where the action started, redo where it ended.
                const std::string &cursor = undo ? m.starts[done] : m.ends[done - 1];
                EXPECT_EQ(cursor.empty() ? cursor : cursor_of(b), cursor);
                EXPECT_EQ(b->changed != 0, m.changed());
            } else if (done == was_done + 1 && undone == 0) {
                // A new action: what could be redone is gone.
                m.know_saved(was_changed);
                if (m.saved > static_cast<long>(was_done)) m.saved = -1;
                m.point(done, b);
                m.starts.resize(was_done);
                m.ends.resize(was_done);
                m.starts.push_back(was_cursor);
                m.ends.push_back(cursor_of(b));
                m.done = done;
                m.typing_run = typing;
            } else {
                ASSERT_EQ(done, was_done);
                ASSERT_EQ(undone, was_undone);
                ASSERT_EQ(tree, m.trees[done]) << "a change not recorded in " << b->fn;
            }
            ASSERT_EQ(m.starts.size(), done + undone);
            if (!typing) m.typing_run = false;
        }
        for (text_buffer *b : buffs)
            if (b && !before.count(b->id)) born(b);
    }

    // A buffer the key made and stayed in: a child that fold_in entered, or
    // that a search entered and stopped in. Its journal starts from its file
    // as read; its first action, the search's replacements in it, started
    // where the first of them was made, which the model does not know.
    void born(text_buffer *b) {
        journal_model &m = models[b->id] = journal_model{};
        size_t done = journal_done(b);
        ASSERT_EQ(journal_undone(b), 0u);
        ASSERT_LE(done, 1u);
        if (done) {
            journal_begin(false);
            text_buffer *scratch = buff_create("", -1, b->lang);
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
        key(text, false, [&] { return exec_commands(text.c_str()); });
    }
    std::string tree_after(const std::string &text) {
        run_key(text);
        return tree_of(cur_buffer);
    }
    // A key whose actions the model does not follow.
    static void raw_key(const std::string &text) {
        journal_begin(false);
        exec_commands(text.c_str());
        journal_end();
    }
    void type_key(char c) {
        key(std::string("type ") + c, true,
            [c] { return type_char(static_cast<unsigned char>(c)); });
    }

    // Undoes everything, checking each step, then redoes it all.
    void undo_and_redo_all(text_buffer *b) {
        journal_model &m = model(b);
        cur_buffer = b;
        while (journal_done(b)) run_key("other_undo");
        EXPECT_EQ(tree_of(b), m.trees[0]);
        EXPECT_EQ(exec_commands("other_undo") ? "" : last_error(), std::string("nothing to undo"));
        while (journal_undone(b)) run_key("other_redo");
        EXPECT_EQ(tree_of(b), m.trees.back());
        EXPECT_EQ(exec_commands("other_redo") ? "" : last_error(), std::string("nothing to redo"));
    }

    // By buffer id: a buffer's record may be reused by a later child.
    std::map<int, journal_model> models;
    long live_at_start = alloc_live_blocks();
    test_support::scratch_dir files;
};

// ---- The randomized test -----------------------------------------------------

std::vector<std::string> random_outline(std::mt19937 &rng, int lines, int depth) {
    static const char *const words[] = {"alpha", "beta",   "  gamma",  "delta epsilon",
                                        "",      "\tzeta", "eta;theta"};
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
        } else {
            out.push_back(kind == 2 ? "<v" + std::to_string(i) + ".c"
                                    : words[pick(7)] + std::to_string(i));
        }
    }
    return out;
}

TEST_F(Undo, RandomEditsUndoneAndRedoneToEveryPoint) {
    test_support::write_file(files.path("part.top"),
                             "read one\n/*...Sinner:2:*/\nread two\n/*...e*/\n");
    const std::string one_name = files.path("one.top"), two_name = files.path("two.top");
    // clang-format off
    const std::vector<std::string> commands = {
        "character_delete_left", "character_delete_right", "character_delete_eol", "character_tab",
        "character_left", "character_right", "string_insert \"xy\"", "line_insert \"new\"",
        "line_insert... \"nf\" yes 2", "line_insert::: \"w.c\" no 1", "line_delete", "line_yank",
        "line_split", "line_trans \"a-e\" \"A-E\"", "line_up", "line_down", "line_down", "line_goto 7",
        "block_mark_1", "block_mark_2", "block_unmark", "block_fold \"bf\" yes 1", "block_unfold",
        "block_entab", "block_detab", "block_delete", "block_yank", "block_trans \"a-z\" \"A-Z\"",
        "block_read \"" + files.path("part.top") + "\"", "fold_open yes", "fold_open no", "fold_start",
        "fold_end", "other_undelete", "other_undelete", "other_put", "other_undo", "other_undo",
        "other_redo", "setup_insert"};
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
    // clang-format on
    for (unsigned seed = 1; seed <= 10; seed++) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        journal_stop();
        models.clear();
        undel_release_all();
        // The files that the virtual fold lines name, "v0.c" to "v24.c" and
        // "w.c": text, a fold and (but w.c) a virtual fold.
        for (int i = 0; i < 25; i++) {
            std::string n = std::to_string(i);
            test_support::write_file(files.path("v" + n + ".c"),
                                     "alpha" + n + " beta\n/*...Sinner:2:*/\ngamma delta" + n +
                                         "\n/*...e*/\n/*...vw.c:0:*/\neta\n");
        }
        test_support::write_file(files.path("w.c"), "theta beta\nzeta\n");
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        // The answers to the questions of the next key: mostly yes, often
        // no, and Escape when they run out.
        auto answer_at_random = [&] {
            std::vector<int> keys;
            for (int n = 0; n < 12 && pick(10); n++) {
                if (pick(3) == 0) keys.push_back('n');
                keys.push_back(K_RETURN);
            }
            th_key_script(keys);
        };
        build(random_outline(rng, 25, 0), 3);
        std::strcpy(cur_buffer->fn, one_name.c_str());
        text_buffer *one = cur_buffer;
        text_buffer *two = buff_create(two_name.c_str(), -1, top);
        ASSERT_NE(two, nullptr);
        for (const char *l : {"second", "buffer"}) {
            line_insert(line_create_text(l), two->top);
            two->line_no += line_step_next(two->top);
        }
        journal_start();
        for (int step = 0; step < 300 && !HasFatalFailure(); step++) {
            int what = pick(100);
            if (what < 20) {
                for (int n = 1 + pick(6); n > 0; n--) type_key(static_cast<char>('a' + pick(26)));
            } else if (what < 23) {
                if (line_kind(line()) == LINE_FOLD || line_kind(line()) == LINE_VIRT) {
                    answer_at_random(); // whether to take a buffer of the file already read
                    run_key("fold_in");
                }
            } else if (what < 26) {
                if (fold()->parent || cur_buffer->parent != -1) {
                    answer_at_random(); // whether to write a child back
                    run_key("fold_out");
                }
            } else if (what < 28) {
                key("filter", false,
                    [] { return run_with_recovery([] { block_filter_with("add", add_a_line); }); });
            } else if (what < 30) {
                if (cur_buffer != one && cur_buffer != two) {
                    answer_at_random(); // a child is left before another buffer is chosen
                    run_key("fold_out");
                } else {
                    run_key("buffer_select \"" + (cur_buffer == one ? two_name : one_name) + "\"");
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
            } else if (what < 52) {
                answer_at_random(); // whether to replace each match, when asked
                run_key(replaces[static_cast<size_t>(pick(static_cast<int>(replaces.size())))]);
            } else {
                run_key(commands[static_cast<size_t>(pick(static_cast<int>(commands.size())))]);
            }
        }
        for (const auto &[id, m] : models) {
            text_buffer *b = lookup_buff_id(id);
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
        for (text_buffer *b : buffs)
            if (b && b != one) {
                ASSERT_EQ(buff_delete(b), 1) << "a buffer's journal goes with it";
            }
    }
}

// ---- Cases the random test meets rarely ---------------------------------------

TEST_F(Undo, UnchangedBackAtTheTextLastReadOrWritten) {
    build({"[+f", "]"});
    std::strcpy(cur_buffer->fn, files.path("f.top").c_str());
    journal_start();
    // A key that marks the buffer changed without changing it (the fold is
    // open already) hides not the text read.
    run_key("fold_open yes");
    EXPECT_TRUE(cur_buffer->changed);
    run_key("line_insert \"x\"");
    run_key("other_undo");
    EXPECT_FALSE(cur_buffer->changed) << "the text is as it was";
    // What a key did before it wrote the file is an action of its own.
    raw_key("line_insert \"x\" buffer_write . no line_insert \"y\"");
    raw_key("other_undo");
    EXPECT_EQ(tree_of(cur_buffer), "x,[f 0 o:],");
    EXPECT_FALSE(cur_buffer->changed) << "back at the text written";
    // A key that changes the text and then a mark changes the text.
    raw_key("line_insert \"z\" block_mark_1");
    raw_key("buffer_write . no");
    raw_key("other_undo");
    EXPECT_TRUE(cur_buffer->changed) << "the text differs from the file written";
}

// An undo that needs lines the stack holds leaves it a copy; when the copy
// cannot be made, the undo changes nothing.
TEST_F(Undo, AnUndoThatCannotCopyTheDeletedLinesChangesNothing) {
    build({"a", "b", "c"});
    journal_start();
    run_key("block_mark_1 line_down block_mark_2 block_delete");
    const std::string before = state();
    alloc_fail_after(1);
    EXPECT_EQ(run("other_undo"), before + " !out of memory");
    alloc_fail_after(0);
    EXPECT_EQ(tree_after("other_undo"), "a,b,c,");
    EXPECT_EQ(stack_picture(), "Ba,;");
}

TEST_F(Undo, PastTheLimitTheOldestActionsGo) {
    journal_start();
    for (size_t i = 0; i < JOURNAL_MAX_ACTIONS + 5; i++) raw_key("line_insert \"x\"");
    EXPECT_EQ(journal_done(cur_buffer), JOURNAL_MAX_ACTIONS);
    while (journal_done(cur_buffer)) exec_commands("other_undo");
    EXPECT_EQ(tree_of(cur_buffer), "x,x,x,x,x,") << "the five oldest cannot be undone";
    EXPECT_TRUE(cur_buffer->changed) << "the text read is out of reach";
}

} // namespace
