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
#include "common/folded_file.h"

#include "commands/block_files.h"
#include "commands/executor.h"
#include "commands/undelete.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "host/process.h"
#include "text/buff_file.h"
#include "text/buffer.h"
#include "text/fold_file.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const char *what) {
    fprintf(stderr, "block_bench: %s\n", what);
    exit(1);
}

// User and system time of this process and its finished children, in ms:
// on a shared machine it does not count the time spent waiting for a CPU.
double cpu_ms() {
    double ms = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage u{};
        getrusage(who, &u);
        ms += (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
              (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
    }
    return ms;
}

// The best wall and CPU times of a step over several rounds, in ms.
struct Best {
    double wall = 1e12, cpu = 1e12;
    template <class Step> void time(Step step) {
        double cpu_start = cpu_ms();
        Clock::time_point start = Clock::now();
        step();
        wall =
            std::min(wall, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        cpu = std::min(cpu, cpu_ms() - cpu_start);
    }
};

void run(const char *text) {
    if (!exec_commands(text)) fail(text);
}

// The whole top list of the current buffer marked, the cursor on its first line.
void mark_all() {
    FOLD *f = cur_buffer->fold;
    cur_buffer->line_no += line_step_first(f);
    f->mark1 = 0;
    f->mark2 = f->line_count - 1;
}

long file_lines() {
    return cur_buffer->top->deep_count - 1;
}

struct Figures {
    Best fold, unfold, del, undel, copy, yank, put, filter, write_read;
    int top_lines = 0;
};

// One round of every step on the current buffer, which it leaves as it was.
void one_round(Figures &fig, const char *scratch) {
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
    LINE *copy = nullptr;
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
    BUFF *other = buff_create(scratch, -1, cur_buffer->lang);
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

void report(const char *title, const Figures &f, long lines) {
    printf("%s: %ld lines, %d in the top list\n", title, lines, f.top_lines);
    printf("                    wall ms    cpu ms   cpu x floor\n");
    auto row = [](const char *what, const Best &b, const Best *floor, const char *against) {
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
    std::string dir = "/tmp/ox_block_bench_XXXXXX";
    if (!mkdtemp(dir.data())) fail("cannot make a folder in /tmp");
    std::string source = dir + "/source.c", scratch = dir + "/scratch.c";

    folded_file_writer gen{fopen(source.c_str(), "w")};
    if (!gen.fp) fail("cannot write the source file");
    while (gen.lines < want) gen.unit();
    if (fclose(gen.fp) != 0) fail("cannot write the source file");

    data_init();
    x_size = 80;
    y_size = 24;
    scn_init();
    LANG *top = lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    LANG *flat = lang_create("flat", "", "", "", "_", 0x300);
    if (!top || !flat) fail("cannot make the languages");

    for (LANG *lang : {top, flat}) {
        cur_buffer = buff_create(source.c_str(), -1, lang);
        if (!cur_buffer || !buff_read(cur_buffer, source.c_str())) fail("cannot read the file");
        Figures fig;
        for (int i = 0; i < rounds; i++) one_round(fig, scratch.c_str());
        report(lang == top ? "folded file" : "flat file", fig, file_lines());
        BUFF *done = cur_buffer;
        cur_buffer = nullptr;
        buff_delete(done);
    }
    printf("best of %d rounds\n", rounds);

    unlink(source.c_str());
    rmdir(dir.c_str());
    return 0;
}
