// The whole editor against vim, as a user meets them: each is started in a
// pseudo-terminal of 80x24 on a generated file of about a million lines with
// 20,000 folds nested three deep (about 45 MB), and timed from the start of
// the process to its end for two sessions:
//
//   open    open the file, wait until it is shown, quit
//   save    open the file, type one character at the start of the first
//           line, save it and quit
//
// Runs alternate between the editors (and which goes first) and the median of
// the runs is shown, with the ratio vim / ox, the CPU time of the process and
// its peak resident memory from wait4. The terminal is libvterm, which
// answers the programs' queries as a real terminal does. vim runs as
// vim -u NONE -N -n -i NONE: no settings, no swap file, no viminfo.
// ox runs with a small initialisation file of its own that binds ^X to
// other_exit yes; saving answers its write question with Return. Both save
// through their normal paths (ox keeps a backup and flushes the file to the
// disk; vim keeps a backup while it writes and flushes too). Every file it
// makes is removed at the end.
//
// Run: bench/session/run.sh [build folder], or
//      session_bench --ox PATH [--vim PATH] [--lines N] [--runs N]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/folded_file.h"
#include "common/options.h"
#include "common/pty_session.h"
#include "common/scratch_dir.h"
#include "common/timing.h"

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
};

void report(const char *session, const bench_figures &ox, const bench_figures &vim) {
    std::printf("%-5s %-4s %9.1f %9.1f %9.1f %10.1f\n", session, "ox", median(ox.total),
                median(ox.ready), median(ox.cpu), ox.peak_kib / 1024.0);
    std::printf("%-5s %-4s %9.1f %9.1f %9.1f %10.1f\n", session, "vim", median(vim.total),
                median(vim.ready), median(vim.cpu), vim.peak_kib / 1024.0);
    std::printf("%-5s vim/ox  %7.2fx %8.2fx %8.2fx %9.2fx\n", session,
                median(vim.total) / median(ox.total), median(vim.ready) / median(ox.ready),
                median(vim.cpu) / median(ox.cpu),
                static_cast<double>(vim.peak_kib) / static_cast<double>(ox.peak_kib));
}

} // namespace

int main(int argc, char **argv) {
    std::string ox_path = OX_PROGRAM, vim_path = "/usr/bin/vim";
    long want = 1000000;
    int runs = 5;
    read_options(argc, argv,
                 {{"--ox", &ox_path}, {"--vim", &vim_path}, {"--lines", &want}, {"--runs", &runs}});
    if (ox_path.empty() || access(ox_path.c_str(), X_OK) != 0)
        fail("no ox program; give --ox PATH");
    if (access(vim_path.c_str(), X_OK) != 0) fail("no vim at " + vim_path);
    if (runs < 1) runs = 1;

    scratch_folder scratch("ox_session");
    const std::string &dir = scratch.path();
    const std::string base = "session.c", file = scratch.file(base),
                      ini = scratch.file("bench.ini");
    folded_file_writer gen = write_folded_file(file, want, "// session benchmark");
    write_text(ini, "key_bind \"^X\" \"other_exit yes\"\n");
    std::printf("file: %ld lines, %ld folds, %.1f MB; %d runs each, alternating\n", gen.lines,
                gen.folds, file_size(file) / 1e6, runs);

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

    bench_figures ox_open, vim_open, ox_save, vim_save;
    for (int r = 0; r < runs; r++) {
        bool ox_first = r % 2 == 0;
        // What an earlier save wrote reaches the disk before anything is timed.
        sync();
        if (ox_first) ox_open.add(open_quit(ox, dir));
        vim_open.add(open_quit(vim, dir));
        if (!ox_first) ox_open.add(open_quit(ox, dir));
        sync();
        if (ox_first) ox_save.add(edit_save(ox, dir, file));
        sync();
        vim_save.add(edit_save(vim, dir, file));
        if (!ox_first) {
            sync();
            ox_save.add(edit_save(ox, dir, file));
        }
    }

    std::printf("\n%-5s %-4s %9s %9s %9s %10s\n", "", "", "total ms", "shown ms", "cpu ms",
                "peak MiB");
    report("open", ox_open, vim_open);
    report("save", ox_save, vim_save);
    return 0;
}
