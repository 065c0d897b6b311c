// The block commands on a large buffer: generates the folded C-like file of
// a million lines (bench/common/folded_file.h) in /tmp, reads it, marks every
// line of the top list and times, through the command texts a key would run:
//
//   block_fold and block_unfold back, block_delete and other_undelete,
//   block_yank and other_put,
//   block_filter through cat (run directly: there is no terminal to hand over),
//
// against the tree's own deep copy of the same lines and against writing the
// buffer to a file and reading it back. The moves relink, so they should not
// depend on what the moved lines hold; the same is timed on the file read
// flat (a language without fold markers), where the top list itself holds a
// million lines. Every file it makes is removed at the end.
//
// Run: build-*/bench/commands/block_bench [lines] [rounds]
#include "common/editor_setup.h"
#include "common/folded_file.h"
#include "common/scratch_dir.h"
#include "common/timing.h"

#include "commands/block_files.h"
#include "commands/executor.h"
#include "commands/undelete.h"
#include "host/process.h"
#include "text/fold_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace bench;

void run(const char *text) {
    if (!exec_commands(text)) fail(text);
}

// The whole top list of the current buffer marked, the cursor on its first line.
void mark_all() {
    tree_fold *f = cur_buffer->fold;
    cur_buffer->line_no += line_step_first(f);
    f->mark1 = 0;
    f->mark2 = f->line_count - 1;
}

long file_lines() {
    return cur_buffer->top->deep_count - 1;
}

struct bench_figures {
    best_run fold, unfold, del, undel, copy, yank, put, filter, write_read;
    int top_lines = 0;
};

// One round of every step on the current buffer, which it leaves as it was.
void one_round(bench_figures &fig, const char *scratch) {
    long lines = file_lines();
    mark_all();
    fig.top_lines = cur_buffer->fold->line_count - 1;

    fig.fold.time([] { run("block_fold \"all\" no 0"); });
    fig.unfold.time([] { run("block_unfold"); });
    if (file_lines() != lines) fail("fold and unfold changed the buffer");

    fig.del.time([] { run("block_delete"); });
    fig.undel.time([] { run("other_undelete"); });
    if (file_lines() != lines) fail("delete and undelete changed the buffer");

    // The floor of copying: the tree's own deep copy of a fold holding the
    // same lines.
    run("block_fold \"all\" no 0");
    tree_line *copy = nullptr;
    fig.copy.time([&] { copy = line_copy_deep(cur_buffer->fold->cur); });
    if (!copy) fail("out of memory");
    line_delete_deep(copy);
    run("block_unfold");

    fig.yank.time([] { run("block_yank"); });
    fig.put.time([] { run("other_put"); });
    if (file_lines() != 2 * lines) fail("put did not double the buffer");
    run("block_delete other_squeeze");

    // The floor of the filter, just before it and with the memory as it
    // will find it: writing the buffer out and reading it back.
    text_buffer *other = buff_create(scratch, -1, cur_buffer->lang);
    if (!other) fail("cannot make a buffer");
    fig.write_read.time([&] {
        if (!buff_write(cur_buffer, scratch, 0) || !buff_read(other, scratch))
            fail("cannot write or read the file");
    });
    buff_delete(other);
    unlink(scratch);

    mark_all();
    fig.filter.time([] { block_filter_with("cat", xfilter); });
    if (file_lines() != lines) fail("the filter changed the buffer");
    run("other_squeeze");
}

void report(const char *title, const bench_figures &f, long lines) {
    printf("%s: %ld lines, %d in the top list\n", title, lines, f.top_lines);
    printf("                    wall ms    cpu ms   cpu x floor\n");
    auto row = [](const char *what, const best_run &b, const best_run *floor, const char *against) {
        printf("  %-16s %9.2f %9.2f", what, b.wall, b.cpu);
        if (floor) printf("   %5.2f  %s", b.cpu / floor->cpu, against);
        printf("\n");
    };
    row("block_fold", f.fold, nullptr, "");
    row("block_unfold", f.unfold, nullptr, "");
    row("block_delete", f.del, nullptr, "");
    row("other_undelete", f.undel, nullptr, "");
    row("deep copy", f.copy, nullptr, "of a fold of the lines");
    row("block_yank", f.yank, &f.copy, "the deep copy");
    row("other_put", f.put, &f.copy, "the deep copy");
    row("write and read", f.write_read, nullptr, "");
    row("block_filter cat", f.filter, &f.write_read, "writing and reading");
}

} // namespace

int main(int argc, char **argv) {
    long want = argc > 1 ? atol(argv[1]) : 1000000;
    int rounds = argc > 2 ? atoi(argv[2]) : 3;
    scratch_folder dir("ox_block_bench");
    std::string source = dir.file("source.c"), scratch = dir.file("scratch.c");
    write_folded_file(source, want);

    start_headless_editor();
    language_def *top = folded_language(), *flat = flat_language();
    for (language_def *lang : {top, flat}) {
        cur_buffer = read_buffer(source, lang);
        bench_figures fig;
        for (int i = 0; i < rounds; i++) one_round(fig, scratch.c_str());
        report(lang == top ? "folded file" : "flat file", fig, file_lines());
        text_buffer *done = cur_buffer;
        cur_buffer = nullptr;
        buff_delete(done);
    }
    printf("best of %d rounds\n", rounds);
    return 0;
}
