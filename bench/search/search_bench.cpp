// Searching a generated file of about a million lines with 20,000 folds nested
// three deep (bench/common/folded_file.h): from the first line, into every
// fold, count every match of the plain string "return" and of the
// expressions "[a-z_]+\(" and "(while|for) *\(", then replace every "return"
// by "RETURN".
//
//   in ox     each command alone, run inside the program on the buffer read
//             from the file (a replacement is undone after each run, untimed:
//             reading the file again would leave the tree's memory in another
//             order, which costs more to walk)
//   sessions  the whole process through a pseudo-terminal (bench/common/
//             pty_session.h): ox binds a key to each command; vim runs
//             ":%s/PATTERN//gn" (":%s/return/RETURN/g" to replace) as
//             vim -u NONE -N -n -i NONE; both are timed from start to end,
//             alternating which goes first, and the time from the file shown
//             to the end is given apart. Neither writes the file.
//   grep      grep -cE PATTERN FILE as a whole process in the C locale, the
//             floor (it counts lines rather than matches).
//
// Medians of the runs (5 by default). Every file it makes is removed at the
// end.
//
// Run: bench/search/run.sh [build folder], or
//      search_bench [--vim PATH] [--lines N] [--runs N] [--only K]
// (--only K: the K-th search alone, from 1, inside ox only: for profiling).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/executor.h"
#include "commands/search.h"
#include "common/editor_setup.h"
#include "common/folded_file.h"
#include "common/options.h"
#include "common/pty_session.h"
#include "common/scratch_dir.h"
#include "common/timing.h"

namespace {

using namespace bench;

// A search as each program is asked for it.
struct Search {
    const char *name;
    std::string ox;   // the command text
    std::string vim;  // the ex command
    std::string grep; // the extended expression, empty for none
};

// A string argument of a command text, quoted.
std::string quoted(const std::string &s) {
    std::string q = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + "\"";
}

const char *const all_folds = " yes no always always yes 0 no";
const char *const all_folds_expression = " yes yes always always yes 0 no";

const std::vector<Search> searches = {
    {"count return", "search_for " + quoted("return") + all_folds, ":%s/return//gn", "return"},
    {"count [a-z_]+\\(", "search_for " + quoted("[a-z_]+\\(") + all_folds_expression,
     ":%s/\\v[a-z_]+\\(//gn", "[a-z_]+\\("},
    {"count (while|for) *\\(", "search_for " + quoted("(while|for) *\\(") + all_folds_expression,
     ":%s/\\v(while|for) *\\(//gn", "(while|for) *\\("},
    {"replace return", "search_replace " + quoted("return") + " " + quoted("RETURN") + all_folds,
     ":%s/return/RETURN/g", ""},
};

bool replaces(const Search &s) {
    return s.grep.empty();
}

const std::string undo_replacement =
    "search_replace " + quoted("RETURN") + " " + quoted("return") + all_folds;

// ---- Inside the program ------------------------------------------------------

struct in_program {
    double ms, cpu;
    int count;
};

in_program run_in_ox(const Search &s, int runs) {
    std::vector<double> times, cpu;
    int count = 0;
    for (int r = 0; r < runs; r++) {
        exec_commands("fold_start");
        time_span t = measure([&] {
            if (!exec_commands(s.ox.c_str())) fail(std::string(s.name) + " failed");
        });
        times.push_back(t.wall);
        cpu.push_back(t.cpu);
        count = last_search.count;
        // Back as it was, so that every run works on the tree as it was read.
        if (replaces(s) && !exec_commands(("fold_start " + undo_replacement).c_str()))
            fail("cannot undo the replacement");
    }
    return {median(times), median(cpu), count};
}

// ---- Whole processes -----------------------------------------------------------

struct ox_process {
    std::vector<std::string> argv; // the file name last
    std::vector<std::string> shown;
};

struct bench_figures {
    std::vector<double> total, after_shown, cpu;
    void add(const run_outcome &o) {
        total.push_back(o.total_ms);
        after_shown.push_back(o.total_ms - o.ready_ms);
        cpu.push_back(o.cpu_ms);
    }
};

run_outcome run_session(const ox_process &e, const std::string &dir, const std::string &keys,
                        const std::string &done, const std::string &quit, int status) {
    pty_session s(e.argv, dir);
    Clock::time_point ready = s.wait_for_each(e.shown);
    s.type(keys);
    s.wait_for(done);
    s.type(quit);
    return s.finish(ready, status);
}

// grep in the C locale, as ox reads bytes; its output goes to a pipe, since
// GNU grep stops at the first match when it writes to /dev/null.
run_outcome run_grep(const std::string &expression, const std::string &file) {
    int out[2];
    if (pipe(out) != 0) fail("pipe failed");
    Clock::time_point start = Clock::now();
    pid_t pid = fork();
    if (pid < 0) fail("fork failed");
    if (pid == 0) {
        if (dup2(out[1], 1) < 0) _exit(126);
        close(out[0]);
        setenv("LC_ALL", "C", 1);
        execlp("grep", "grep", "-cE", expression.c_str(), file.c_str(),
               static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char buf[64];
    while (read(out[0], buf, sizeof buf) > 0) {
    }
    close(out[0]);
    int status = 0;
    rusage ru{};
    if (wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("grep failed");
    run_outcome o;
    o.total_ms = ms_between(start, Clock::now());
    o.cpu_ms = cpu_ms(ru);
    return o;
}

} // namespace

int main(int argc, char **argv) {
    std::string ox_path = OX_PROGRAM, vim_path = "/usr/bin/vim";
    long want = 1000000;
    int runs = 5, only = 0;
    read_options(argc, argv,
                 {{"--ox", &ox_path},
                  {"--vim", &vim_path},
                  {"--lines", &want},
                  {"--runs", &runs},
                  {"--only", &only}});
    if (runs < 1) runs = 1;
    bool sessions = only == 0 && !ox_path.empty() && access(ox_path.c_str(), X_OK) == 0 &&
                    access(vim_path.c_str(), X_OK) == 0;

    scratch_folder scratch("ox_search");
    const std::string &dir = scratch.path();
    const std::string base = "search.c", file = scratch.file(base), ini = scratch.file("bench.ini");
    folded_file_writer gen = write_folded_file(file, want, "// search benchmark");
    std::printf("file: %ld lines, %ld folds, %.1f MB; median of %d runs\n\n", gen.lines, gen.folds,
                file_size(file) / 1e6, runs);

    // Inside the program, without a terminal.
    start_headless_editor();
    cur_buffer = read_buffer(file, folded_language());
    std::printf("%-24s %9s %10s %10s\n", "in ox", "matches", "ms", "cpu ms");
    std::vector<in_program> inside;
    for (size_t i = 0; i < searches.size(); i++) {
        const Search &s = searches[i];
        if (only > 0 && static_cast<size_t>(only) != i + 1) continue;
        inside.push_back(run_in_ox(s, runs));
        std::printf("%-24s %9d %10.1f %10.1f\n", s.name, inside.back().count, inside.back().ms,
                    inside.back().cpu);
    }
    if (inside.size() == searches.size())
        std::printf("%-24s %20.2fx %9.2fx\n", "replace / count return", inside[3].ms / inside[0].ms,
                    inside[3].cpu / inside[0].cpu);

    if (sessions) {
        std::printf("\nwhole process, ms: total (cpu) and from the file shown to the end\n");
        std::printf("%-24s %16s %8s %16s %8s %16s %7s %7s\n", "", "ox", "search", "vim", "search",
                    "grep", "vim/ox", "ox/grep");
    }
    std::string bindings =
        "key_bind \"^X\" \"other_exit yes\"\nkey_bind \"^Q\" \"other_abort yes\"\n";
    const char *keys[] = {"^A", "^B", "^C", "^D"};
    for (size_t i = 0; i < searches.size(); i++)
        bindings += "key_bind \"" + std::string(keys[i]) + "\" " + quoted(searches[i].ox) + "\n";
    write_text(ini, bindings);
    ox_process ox{{ox_path, "-i", ini, base}, {"Birch Editor for"}};
    ox_process vim{{vim_path, "-u", "NONE", "-N", "-n", "-i", "NONE", base},
                   {"\"" + base + "\"", "// search benchmark"}};
    if (sessions) { // once each untimed, so that the programs and the file are in memory
        run_session(ox, dir, "\x01", "matches", "\x18", 0);
        run_session(vim, dir, searches[0].vim + "\r", "matches", ":q!\r", 0);
    }
    for (size_t i = 0; sessions && i < searches.size(); i++) {
        const Search &s = searches[i];
        // ox leaves a replacement unwritten with other_abort, whose status is 1.
        std::string ox_keys(1, static_cast<char>(keys[i][1] - '@'));
        std::string ox_quit = replaces(s) ? "\x11" : "\x18";
        int ox_status = replaces(s) ? 1 : 0;
        std::string vim_done = replaces(s) ? "substitutions" : "matches";
        bench_figures ox_runs, vim_runs, grep_runs;
        for (int r = 0; r < runs; r++) {
            bool ox_first = r % 2 == 0;
            if (ox_first) ox_runs.add(run_session(ox, dir, ox_keys, "matches", ox_quit, ox_status));
            vim_runs.add(run_session(vim, dir, s.vim + "\r", vim_done, ":q!\r", 0));
            if (!ox_first)
                ox_runs.add(run_session(ox, dir, ox_keys, "matches", ox_quit, ox_status));
            if (!replaces(s)) grep_runs.add(run_grep(s.grep, file));
        }
        double ox_total = median(ox_runs.total), vim_total = median(vim_runs.total);
        std::printf("%-24s %7.1f (%6.1f) %8.1f %7.1f (%6.1f) %8.1f", s.name, ox_total,
                    median(ox_runs.cpu), median(ox_runs.after_shown), vim_total,
                    median(vim_runs.cpu), median(vim_runs.after_shown));
        if (replaces(s))
            std::printf(" %16s %6.2fx\n", "", vim_total / ox_total);
        else
            std::printf(" %7.1f (%6.1f) %6.2fx %6.2fx\n", median(grep_runs.total),
                        median(grep_runs.cpu), vim_total / ox_total,
                        ox_total / median(grep_runs.total));
    }
    if (!sessions && only == 0) std::printf("(no sessions: give --ox PATH and --vim PATH)\n");
    return 0;
}
