// What syntax colour costs the whole editor: ox in a pseudo-terminal on the
// generated file of about a million lines in folds nested three deep, named
// x.c so that the shipped ox.ini's rules for C colour it, with syntax colour
// on and with it off (other_syntax no), for three sessions:
//
//   open   open the file, wait until it is shown, quit (80x24)
//   type   go to the line in the middle of the file, type 10,000 characters
//          of code (a Return after every 50), each once the screen shows the
//          one before, and quit without writing (80x24)
//   page   1,000 screens at 200x60, each once the one before is shown: page
//          down through the file to its end, up to its start, and again
//          (a page is a page of the list the cursor is in, whose lines are
//          open folds), then quit
//
// Runs alternate between on and off (and which goes first); each line shows
// the median wall and CPU time of the ox process and its peak resident
// memory, and the ratio on / off. The per-line span states cost no memory:
// they live in spare bits of the line records.
//
// Run: syntax_bench [--ox PATH] [--ini PATH] [--lines N] [--runs N]
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/folded_file.h"
#include "common/options.h"
#include "common/pty_session.h"
#include "common/scratch_dir.h"
#include "common/timing.h"

#ifndef OX_SOURCE_DIR
#define OX_SOURCE_DIR "."
#endif

namespace {

using namespace bench;

struct bench_figures {
    std::vector<double> wall, cpu;
    long peak_kib = 0;

    void add(const run_outcome &o) {
        wall.push_back(o.total_ms);
        cpu.push_back(o.cpu_ms);
        peak_kib = std::max(peak_kib, o.peak_kib);
    }
};

struct syntax_setting {
    const char *name;
    std::string ini;
};

const char quit[] = "\x0b\x11"; // ^K ^Q, bound to other_abort yes

run_outcome open_quit(const syntax_setting &s, const std::string &dir, const std::string &ox) {
    pty_session session({ox, "-i", s.ini, "x.c"}, dir);
    Clock::time_point ready = session.wait_for("function_0");
    session.type(quit);
    return session.finish(ready, 1);
}

// Each key once the status row shows what the one before did.
void press(pty_session &session, const std::string &key) {
    std::string status = session.screen_row(0);
    session.type(key);
    session.wait_for_change(0, status);
}

void type_keys(pty_session &session, const std::string &keys) {
    for (char key : keys) press(session, std::string(1, key));
}

run_outcome type_middle(const syntax_setting &s, const std::string &dir, const std::string &ox,
                        long lines) {
    pty_session session({ox, "-i", s.ini, "x.c"}, dir);
    Clock::time_point ready = session.wait_for("function_0");
    session.type("\x0b\x0c"); // ^K ^L: line_goto ?
    session.wait_for("line number: ");
    session.type(std::to_string(lines / 2));
    press(session, "\r");
    std::string keys;
    const std::string code = "sum = value_1 + (x * 42); ";
    for (int i = 0; i < 10000; i++) keys += (i + 1) % 50 == 0 ? '\r' : code[i % code.size()];
    type_keys(session, keys);
    session.type(quit);
    return session.finish(ready, 1);
}

// The line number the status row shows: the last word but one.
long line_shown(const std::string &status) {
    std::istringstream words(status);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    return w.size() >= 2 ? std::atol(w[w.size() - 2].c_str()) : 0;
}

run_outcome page(const syntax_setting &s, const std::string &dir, const std::string &ox,
                 long lines) {
    pty_session session({ox, "-i", s.ini, "x.c"}, dir, {}, 60, 200);
    Clock::time_point ready = session.wait_for("function_0");
    bool down = true;
    for (int i = 0; i < 1000; i++) {
        press(session, down ? "\x1b[6~" : "\x1b[5~"); // PgDn, PgUp
        long at = line_shown(session.screen_row(0));
        if (at == lines + 1) down = false; // the end line
        if (at == 1) down = true;
    }
    session.type(quit);
    return session.finish(ready, 1);
}

void report(const char *session, const bench_figures &on, const bench_figures &off) {
    std::printf("%-5s on   %9.1f %9.1f %9.1f\n", session, median(on.wall), median(on.cpu),
                on.peak_kib / 1024.0);
    std::printf("%-5s off  %9.1f %9.1f %9.1f\n", session, median(off.wall), median(off.cpu),
                off.peak_kib / 1024.0);
    std::printf("%-5s on/off %7.2fx %8.2fx %8.2fx\n", session, median(on.wall) / median(off.wall),
                median(on.cpu) / median(off.cpu),
                static_cast<double>(on.peak_kib) / static_cast<double>(off.peak_kib));
}

} // namespace

int main(int argc, char **argv) {
    std::string ox_path = OX_PROGRAM, shipped = OX_SOURCE_DIR "/ox.ini";
    long want = 1000000;
    int runs = 3;
    read_options(argc, argv,
                 {{"--ox", &ox_path}, {"--ini", &shipped}, {"--lines", &want}, {"--runs", &runs}});
    if (ox_path.empty() || access(ox_path.c_str(), X_OK) != 0)
        fail("no ox program; give --ox PATH");
    if (runs < 1) runs = 1;
    std::ifstream in(shipped);
    if (!in) fail("cannot read " + shipped);
    std::stringstream keys;
    keys << in.rdbuf() << "key_bind \"^K ^Q\" \"other_abort yes\"\n";

    scratch_folder scratch("ox_syntax");
    const std::string &dir = scratch.path();
    folded_file_writer gen = write_folded_file(scratch.file("x.c"), want);
    syntax_setting on{"on", scratch.file("on.ini")}, off{"off", scratch.file("off.ini")};
    write_text(on.ini, keys.str());
    write_text(off.ini, keys.str() + "other_syntax no\n");
    std::printf("file: %ld lines, %ld folds, %.1f MB; %d runs each, alternating\n", gen.lines,
                gen.folds, file_size(scratch.file("x.c")) / 1e6, runs);

    open_quit(on, dir, ox_path); // untimed: the program and the file in memory
    bench_figures open_on, open_off, type_on, type_off, page_on, page_off;
    for (int r = 0; r < runs; r++) {
        for (int turn = 0; turn < 2; turn++) {
            bool colour = (r + turn) % 2 == 0;
            const syntax_setting &s = colour ? on : off;
            (colour ? open_on : open_off).add(open_quit(s, dir, ox_path));
            (colour ? type_on : type_off).add(type_middle(s, dir, ox_path, gen.lines));
            (colour ? page_on : page_off).add(page(s, dir, ox_path, gen.lines));
        }
    }
    std::printf("%-12s %9s %9s %9s\n", "", "wall ms", "cpu ms", "peak MiB");
    report("open", open_on, open_off);
    report("type", type_on, type_off);
    report("page", page_on, page_off);
    return 0;
}
