// The cost of the undo journal:
//
//   typing      100,000 characters through type_char, a line split after
//               every 80, each a key as the main loop runs it, with the
//               journal off and on, and undoing all the journal keeps;
//   blocks      block_delete of every line of the top list of the generated
//               million-line file (bench/common/folded_file.h), read folded
//               and read flat, then other_undo and other_redo: the undo puts
//               the lines back and leaves the undelete stack an equal copy,
//               the redo takes them out again; the first change after an
//               undo; and other_squeeze after an undo, which frees the
//               stack's copy;
//   replacing   search_replace of every "return" of the folded file, in
//               every fold, with the journal off and on, then other_undo
//               and other_redo of it;
//
// each the best of several rounds, wall and CPU time. Every file it makes is
// removed at the end.
//
// Run: build-*/bench/commands/undo_bench [lines] [rounds]
#include "common/editor_setup.h"
#include "common/folded_file.h"
#include "common/scratch_dir.h"
#include "common/timing.h"

#include "commands/executor.h"
#include "commands/journal.h"
#include "commands/search.h"
#include "commands/typing.h"
#include "commands/undelete.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace bench;

void run(const char *text) {
    if (!exec_commands(text)) fail(text);
}

// A key as the main loop runs it, with the journal marking out its action.
void key(const char *text) {
    journal_begin(false);
    run(text);
    journal_end();
}

constexpr int CHARACTERS = 100000, LINE_LENGTH = 80;

// Types the characters into an empty buffer, each a key as the main loop
// runs it, whether the journal is on or off.
void type_all() {
    for (int i = 0; i < CHARACTERS; i++) {
        journal_begin(true);
        if (!type_char('a' + i % 26)) fail("typing");
        journal_end();
        if (i % LINE_LENGTH == LINE_LENGTH - 1) key("line_split");
    }
}

text_buffer *fresh_buffer(language_def *lang) {
    text_buffer *old = cur_buffer;
    cur_buffer = buff_create("", -1, lang);
    if (!cur_buffer) fail("cannot make a buffer");
    if (old) buff_delete(old);
    return cur_buffer;
}

// The journal's cost is the median of the rounds' ratios, each round typing
// with it off and on one after the other, so that the load of a shared
// machine changes both alike.
void typing(language_def *lang, int rounds) {
    best_run off, on, undo_all;
    std::vector<double> ratios;
    for (int r = 0; r < rounds; r++) {
        fresh_buffer(lang);
        double off_cpu = off.time([] { type_all(); });
        journal_start();
        fresh_buffer(lang);
        double on_cpu = on.time([] { type_all(); });
        undo_all.time([] {
            while (journal_done(cur_buffer)) key("other_undo");
        });
        journal_stop();
        ratios.push_back(on_cpu / off_cpu);
    }
    std::sort(ratios.begin(), ratios.end());
    printf("typing %d characters, a line split after every %d\n", CHARACTERS, LINE_LENGTH);
    printf("                       wall ms    cpu ms\n");
    printf("  journal off         %9.2f %9.2f\n", off.wall, off.cpu);
    printf("  journal on          %9.2f %9.2f   %+.1f%% cpu (median of %d rounds)\n", on.wall,
           on.cpu, 100 * (ratios[ratios.size() / 2] - 1), rounds);
    printf("  undoing all it keeps %8.2f %9.2f   (%zu of %d actions)\n", undo_all.wall,
           undo_all.cpu, JOURNAL_MAX_ACTIONS, CHARACTERS / LINE_LENGTH * 2);
}

void blocks(const char *title, language_def *lang, const std::string &source, int rounds) {
    text_buffer *b = fresh_buffer(lang);
    if (!buff_read(b, source.c_str())) fail("cannot read the file");
    long lines = b->top->deep_count - 1;
    int top_lines = b->top->line_count - 1;
    best_run plain, journaled, undo, redo, change, squeeze;
    for (int r = 0; r < rounds; r++) {
        plain.time([] { key("block_mark_1 fold_end block_mark_2 block_delete"); });
        run("other_undelete other_squeeze");
        journal_start();
        journaled.time([] { key("block_mark_1 fold_end block_mark_2 block_delete"); });
        undo.time([] { key("other_undo"); });
        if (b->top->deep_count - 1 != lines) fail("undo");
        redo.time([] { key("other_redo"); });
        if (b->top->deep_count != 1 || undel_count() != 1) fail("redo");
        key("other_undo");
        // The first change after an undo, and squeezing the stack's copy.
        change.time([] { key("line_insert \"x\""); });
        if (b->top->deep_count - 2 != lines || undel_count() != 1) fail("change");
        key("other_undo");
        run("other_squeeze");
        key("block_mark_1 fold_end block_mark_2 block_delete");
        key("other_undo");
        squeeze.time([] { key("other_squeeze"); });
        if (b->top->deep_count - 1 != lines || undel_count() != 0) fail("squeeze");
        journal_stop();
        run("other_squeeze fold_start");
    }
    printf("%s: %ld lines, %d in the top list\n", title, lines, top_lines);
    printf("                             wall ms    cpu ms\n");
    printf("  block_delete               %9.2f %9.2f\n", plain.wall, plain.cpu);
    printf("  block_delete, journaled    %9.2f %9.2f\n", journaled.wall, journaled.cpu);
    printf("  other_undo                 %9.2f %9.2f   (the stack's copy)\n", undo.wall, undo.cpu);
    printf("  other_redo                 %9.2f %9.2f\n", redo.wall, redo.cpu);
    printf("  a change after other_undo  %9.2f %9.2f\n", change.wall, change.cpu);
    printf("  other_squeeze after undo   %9.2f %9.2f\n", squeeze.wall, squeeze.cpu);
}

constexpr const char *REPLACE =
    "fold_start search_replace \"return\" \"RETURN\" yes no always always yes 0 no";
constexpr const char *REPLACE_BACK =
    "fold_start search_replace \"RETURN\" \"return\" yes no always always yes 0 no";

// Whether a plain search of the whole file finds the string.
bool found(const char *what) {
    std::string text = std::string("fold_start search_for \"") + what +
                       "\" yes no always always yes 1 no fold_start";
    return exec_commands(text.c_str()) != 0;
}

void replacing(language_def *lang, const std::string &source, int rounds) {
    text_buffer *b = fresh_buffer(lang);
    if (!buff_read(b, source.c_str())) fail("cannot read the file");
    best_run plain, journaled, undo, redo;
    int matches = 0;
    for (int r = 0; r < rounds; r++) {
        plain.time([] { key(REPLACE); });
        matches = last_search.count;
        key(REPLACE_BACK);
        journal_start();
        journaled.time([] { key(REPLACE); });
        undo.time([] { key("other_undo"); });
        if (found("RETURN") || !found("return")) fail("undoing the replacement");
        redo.time([] { key("other_redo"); });
        if (!found("RETURN") || found("return")) fail("redoing the replacement");
        key("other_undo");
        journal_stop();
    }
    printf("folded file: every \"return\" replaced, %d matches in %d lines\n", matches,
           b->top->deep_count - 1);
    printf("                             wall ms    cpu ms\n");
    printf("  search_replace             %9.2f %9.2f\n", plain.wall, plain.cpu);
    printf("  search_replace, journaled  %9.2f %9.2f\n", journaled.wall, journaled.cpu);
    printf("  other_undo                 %9.2f %9.2f\n", undo.wall, undo.cpu);
    printf("  other_redo                 %9.2f %9.2f\n", redo.wall, redo.cpu);
}

} // namespace

int main(int argc, char **argv) {
    long want = argc > 1 ? atol(argv[1]) : 1000000;
    int rounds = argc > 2 ? atoi(argv[2]) : 3;
    scratch_folder dir("ox_undo_bench");
    std::string source = dir.file("source.c");
    write_folded_file(source, want);

    start_headless_editor();
    language_def *top = folded_language(), *flat = flat_language();
    typing(top, std::max(rounds, 21));
    blocks("folded file", top, source, rounds);
    blocks("flat file", flat, source, rounds);
    replacing(top, source, rounds);
    printf("best of %d rounds\n", rounds);
    return 0;
}
