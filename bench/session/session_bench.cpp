// The whole editor against vim, as a user meets them: each is started in a
// pseudo-terminal of 80x24 on a generated file with folds nested three deep,
// of about a million lines (45 MB) and of five times as many, and timed from
// the start of the process to its end for two sessions:
//
//   open    open the file, wait until it is shown, quit
//   save    open the file, type one character at the start of the first
//           line, save it and quit
//
// Runs alternate between the editors (and which goes first) and the median of
// the runs is shown with the fastest and the slowest and their ratio (how
// steady a program is), the ratio vim / ox of the medians, the CPU time of
// the process and its peak resident memory from wait4. Each round also times
// a child touching as much fresh memory as ox's open took ("fresh", see
// common/fresh_memory.h), so that a swing of the machine is seen as one. Then
// how the larger file's median compares with the smaller's. Last, start-up: ox opening and
// quitting a small file with the shipped ox.ini (its languages and bindings)
// against with an initialisation file of one binding, alternating too.
//
// The terminal is libvterm, which answers the programs' queries as a real
// terminal does. vim runs as vim -u NONE -N -n -i NONE: no settings, no swap
// file, no viminfo. ox runs with a small initialisation file of its own that
// binds ^X to other_exit yes; saving answers its write question with Return.
// Both save through their normal paths (ox keeps a backup and flushes the
// file to the disk; vim keeps a backup while it writes and flushes too).
// Every file it makes is removed at the end.
//
// Run: bench/session/run.sh [build folder], or
//      session_bench --ox PATH [--vim PATH] [--lines N] [--scale N] [--runs N]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/folded_file.h"
#include "common/fresh_memory.h"
#include "common/options.h"
#include "common/pty_session.h"
#include "common/scratch_dir.h"
#include "common/timing.h"

#ifndef OX_SOURCE_DIR
#define OX_SOURCE_DIR "."
#endif

namespace {

using namespace bench;

struct ox_process {
    const char *name;
    std::vector<std::string> argv; // the file name last
    // What it shows once the file is on the screen.
    std::vector<std::string> shown;
    std::string quit;
    // Typing one character at the start of the first line, then saving and
    // quitting; a question to answer on the way, if any.
    std::string edit_save;
    std::string question, answer;
};

run_outcome open_quit(const ox_process &e, const std::string &dir) {
    pty_session s(e.argv, dir);
    Clock::time_point ready = s.wait_for_each(e.shown);
    s.type(e.quit);
    return s.finish(ready);
}

run_outcome edit_save(const ox_process &e, const std::string &dir, const std::string &file) {
    long before = file_size(file);
    pty_session s(e.argv, dir);
    Clock::time_point ready = s.wait_for_each(e.shown);
    s.type(e.edit_save);
    if (!e.question.empty()) {
        s.wait_for(e.question);
        s.type(e.answer);
    }
    run_outcome o = s.finish(ready);
    if (file_size(file) != before + 1)
        fail(std::string(e.name) + " did not save the file with one more character");
    return o;
}

struct bench_figures {
    std::vector<double> total, ready, cpu;
    long peak_kib = 0;

    void add(const run_outcome &o) {
        total.push_back(o.total_ms);
        ready.push_back(o.ready_ms);
        cpu.push_back(o.cpu_ms);
        peak_kib = std::max(peak_kib, o.peak_kib);
    }
    double fastest() const { return *std::min_element(total.begin(), total.end()); }
    double slowest() const { return *std::max_element(total.begin(), total.end()); }
};

void heading() {
    std::printf("\n%-10s %-4s %9s %9s %9s %7s %9s %9s %9s\n", "", "", "total ms", "fastest",
                "slowest", "spread", "shown ms", "cpu ms", "peak MiB");
}

void line(const char *session, const char *name, const bench_figures &f) {
    std::printf("%-10s %-4s %9.1f %9.1f %9.1f %6.2fx %9.1f %9.1f %9.1f\n", session, name,
                median(f.total), f.fastest(), f.slowest(), f.slowest() / f.fastest(),
                median(f.ready), median(f.cpu), f.peak_kib / 1024.0);
}

void report(const char *session, const bench_figures &ox, const bench_figures &vim) {
    line(session, "ox", ox);
    line(session, "vim", vim);
    std::printf("%-10s %-4s %8.2fx %27s %8.2fx %8.2fx %8.2fx\n", session, "v/ox",
                median(vim.total) / median(ox.total), "", median(vim.ready) / median(ox.ready),
                median(vim.cpu) / median(ox.cpu),
                static_cast<double>(vim.peak_kib) / static_cast<double>(ox.peak_kib));
}

struct Size {
    std::string label;
    bench_figures ox_open, vim_open, ox_save, vim_save;
    // A child touching as much fresh memory as ox's open took, in each round.
    std::vector<double> fresh;
};

// The fresh-memory runs as a line of the table: how much of ox's swing is the
// machine's.
void fresh_line(const Size &s) {
    std::printf("%-10s %-4s %9.1f %9.1f %9.1f %6.2fx %29.1f\n", ("fresh " + s.label).c_str(), "mem",
                median(s.fresh), *std::min_element(s.fresh.begin(), s.fresh.end()),
                *std::max_element(s.fresh.begin(), s.fresh.end()),
                *std::max_element(s.fresh.begin(), s.fresh.end()) /
                    *std::min_element(s.fresh.begin(), s.fresh.end()),
                s.ox_open.peak_kib / 1024.0);
}

// Both sessions of both editors on a generated file of the lines wanted.
Size time_size(const std::string &label, long want, int runs, const std::string &dir,
               const std::string &base, const std::string &file, const std::string &ox_path,
               const std::string &vim_path, const std::string &ini) {
    folded_file_writer gen = write_folded_file(file, want, "// session benchmark");
    std::printf("%s: %ld lines, %ld folds, %.1f MB; %d runs each, alternating\n", label.c_str(),
                gen.lines, gen.folds, file_size(file) / 1e6, runs);
    std::fflush(stdout);

    ox_process ox{"ox",
                  {ox_path, "-i", ini, base},
                  {"Birch Editor for"},
                  "\x18",
                  "x\x18",
                  "not written, write: ",
                  "\r"};
    // vim names the file on the last row once it is read, then draws the text.
    ox_process vim{"vim",
                   {vim_path, "-u", "NONE", "-N", "-n", "-i", "NONE", base},
                   {"\"" + base + "\"", "// session benchmark"},
                   ":q\r",
                   "ix\x1b:wq\r",
                   "",
                   ""};

    // Once each untimed, so that both programs and the file are in memory.
    open_quit(ox, dir);
    open_quit(vim, dir);

    Size s{label, {}, {}, {}, {}, {}};
    for (int r = 0; r < runs; r++) {
        bool ox_first = r % 2 == 0;
        // What an earlier save wrote reaches the disk before anything is timed.
        sync();
        if (ox_first) s.ox_open.add(open_quit(ox, dir));
        s.vim_open.add(open_quit(vim, dir));
        if (!ox_first) s.ox_open.add(open_quit(ox, dir));
        s.fresh.push_back(time_fresh_memory(s.ox_open.peak_kib / 1024));
        sync();
        if (ox_first) s.ox_save.add(edit_save(ox, dir, file));
        sync();
        s.vim_save.add(edit_save(vim, dir, file));
        if (!ox_first) {
            sync();
            s.ox_save.add(edit_save(ox, dir, file));
        }
    }
    return s;
}

// ox opening and quitting a small file with each initialisation file in
// turn; the two figures.
std::pair<bench_figures, bench_figures> time_start(int runs, const std::string &dir,
                                                   const std::string &ox_path,
                                                   const std::string &full_ini,
                                                   const std::string &bare_ini) {
    write_text(dir + "/small.c", "// small file\nint main() { return 0; }\n");
    auto editor = [&](const std::string &ini) {
        return ox_process{"ox", {ox_path, "-i", ini, "small.c"}, {"// small file"}, "\x18", "", "",
                          ""};
    };
    ox_process full = editor(full_ini), bare = editor(bare_ini);
    open_quit(full, dir);
    open_quit(bare, dir);
    bench_figures with_full, with_bare;
    for (int r = 0; r < 4 * runs; r++) {
        bool full_first = r % 2 == 0;
        if (full_first) with_full.add(open_quit(full, dir));
        with_bare.add(open_quit(bare, dir));
        if (!full_first) with_full.add(open_quit(full, dir));
    }
    return {with_full, with_bare};
}

} // namespace

int main(int argc, char **argv) {
    std::string ox_path = OX_PROGRAM, vim_path = "/usr/bin/vim", shipped = OX_SOURCE_DIR "/ox.ini";
    long want = 1000000, scale = 5;
    int runs = 5;
    read_options(argc, argv,
                 {{"--ox", &ox_path},
                  {"--vim", &vim_path},
                  {"--lines", &want},
                  {"--scale", &scale},
                  {"--runs", &runs}});
    if (ox_path.empty() || access(ox_path.c_str(), X_OK) != 0)
        fail("no ox program; give --ox PATH");
    if (access(vim_path.c_str(), X_OK) != 0) fail("no vim at " + vim_path);
    if (runs < 1) runs = 1;
    if (scale < 1) scale = 1;

    scratch_folder scratch("ox_session");
    const std::string &dir = scratch.path();
    const std::string base = "session.c", file = scratch.file(base),
                      ini = scratch.file("bench.ini"), full_ini = scratch.file("shipped.ini");
    const std::string exit_binding = "key_bind \"^X\" \"other_exit yes\"\n";
    write_text(ini, exit_binding);
    std::ifstream in(shipped);
    if (!in) fail("cannot read the shipped " + shipped);
    std::ostringstream shipped_text;
    shipped_text << in.rdbuf();
    write_text(full_ini, shipped_text.str() + exit_binding);

    std::vector<Size> sizes;
    sizes.push_back(time_size(std::to_string(want / 1000) + "k", want, runs, dir, base, file,
                              ox_path, vim_path, ini));
    if (scale > 1)
        sizes.push_back(time_size(std::to_string(want * scale / 1000) + "k", want * scale, runs,
                                  dir, base, file, ox_path, vim_path, ini));
    unlink(file.c_str());
    unlink((file + ".bak").c_str());
    auto [with_full, with_bare] = time_start(runs, dir, ox_path, full_ini, ini);

    heading();
    for (const Size &s : sizes) {
        report(("open " + s.label).c_str(), s.ox_open, s.vim_open);
        fresh_line(s);
        report(("save " + s.label).c_str(), s.ox_save, s.vim_save);
    }
    if (sizes.size() > 1) {
        const Size &a = sizes.front(), &b = sizes.back();
        std::printf("\n%s against %s (medians): open ox %.2fx vim %.2fx, save ox %.2fx vim %.2fx\n",
                    b.label.c_str(), a.label.c_str(),
                    median(b.ox_open.total) / median(a.ox_open.total),
                    median(b.vim_open.total) / median(a.vim_open.total),
                    median(b.ox_save.total) / median(a.ox_save.total),
                    median(b.vim_save.total) / median(a.vim_save.total));
    }
    heading();
    line("start ini", "ox", with_full);
    line("start bare", "ox", with_bare);
    std::printf("start: the shipped ox.ini costs %.2f ms (medians of %d runs)\n",
                median(with_full.total) - median(with_bare.total), 4 * runs);
    return 0;
}
