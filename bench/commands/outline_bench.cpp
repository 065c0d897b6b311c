// Outlining and flattening the generated million-line file with braces
// (bench/common/folded_file.h, each fold's lines a block of C++ nested three
// deep), each command a key with the undo journal on, as the main loop runs
// it:
//
//   fold_outline 0   on the file flattened, which folds it again (20,000
//                    folds), against search_for counting "[a-z_]+\(" through
//                    the same flat file;
//   fold_flatten     of the outline, against search_for counting "return"
//                    through the same outlined file;
//   other_undo       of each.
//
// The best of several rounds, wall and CPU time, and the ratios of the CPU
// times. Every file it makes is removed at the end.
//
// Run: build-*/bench/commands/outline_bench [--lines N] [--rounds N]
#include "common/editor_setup.h"
#include "common/folded_file.h"
#include "common/options.h"
#include "common/scratch_dir.h"
#include "common/timing.h"

#include "commands/executor.h"
#include "commands/journal.h"
#include "commands/search.h"

#include <cstdio>
#include <string>

namespace {

using namespace bench;

// A key as the main loop runs it, with the journal marking out its action.
void key(const char *text) {
    journal_begin(false);
    if (!exec_commands(text)) fail(text);
    journal_end();
}

int count(const char *search) {
    key(search);
    return last_search.count;
}

constexpr const char *COUNT_CALLS =
    "fold_start search_for \"[a-z_]+\\\\(\" yes yes always always yes 0 no";
constexpr const char *COUNT_RETURN =
    "fold_start search_for \"return\" yes no always always yes 0 no";

void row(const char *name, const best_run &b) {
    std::printf("  %-32s %9.1f %9.1f\n", name, b.wall, b.cpu);
}

} // namespace

int main(int argc, char **argv) {
    long want = 1000000;
    int rounds = 3;
    read_options(argc, argv, {{"--lines", &want}, {"--rounds", &rounds}});
    scratch_folder dir("ox_outline_bench");
    const std::string source = dir.file("source.cpp");
    FILE *fp = std::fopen(source.c_str(), "w");
    if (!fp) fail("cannot write " + source);
    folded_file_writer gen{fp};
    gen.braces = true;
    gen.fill(want);
    if (std::fclose(fp) != 0) fail("cannot write " + source);

    start_headless_editor();
    language_def *lang = folded_language();
    if (!exec_commands("language_outline \"top\" \"braces\" \"\" \"// /*...*/\" \"\\\" char:'\""))
        fail("cannot give the language its outline rule");
    cur_buffer = read_buffer(source, lang);
    journal_start();
    key("fold_flatten");
    long lines = cur_buffer->top->deep_count - 1;
    best_run calls, outline, outline_undo, returns, flatten, flatten_undo;
    int folds = 0, n_calls = 0, n_returns = 0;
    for (int r = 0; r < rounds; r++) {
        calls.time([&] { n_calls = count(COUNT_CALLS); });
        outline.time([] { key("fold_start fold_outline 0"); });
        folds = static_cast<int>((cur_buffer->top->deep_count - 1 - lines) / 2);
        outline_undo.time([] { key("other_undo"); });
        if (cur_buffer->top->deep_count - 1 != lines) fail("undoing the outline");
        key("other_redo");
        returns.time([&] { n_returns = count(COUNT_RETURN); });
        flatten.time([] { key("fold_start fold_flatten"); });
        if (cur_buffer->top->deep_count - 1 != lines) fail("flattening the outline");
        flatten_undo.time([] { key("other_undo"); });
        key("other_redo");
    }
    std::printf("%ld lines flat, %ld folds in the file, %d made by the outline\n", lines, gen.folds,
                folds);
    std::printf("                                     wall ms    cpu ms\n");
    row(("search_for [a-z_]+\\( (" + std::to_string(n_calls) + ")").c_str(), calls);
    row("fold_outline 0", outline);
    row("  other_undo", outline_undo);
    row(("search_for return (" + std::to_string(n_returns) + ")").c_str(), returns);
    row("fold_flatten", flatten);
    row("  other_undo", flatten_undo);
    std::printf("fold_outline / search: %.2fx cpu; fold_flatten / search: %.2fx cpu\n",
                outline.cpu / calls.cpu, flatten.cpu / returns.cpu);
    std::printf("best of %d rounds\n", rounds);
    return 0;
}
