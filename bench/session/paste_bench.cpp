// Pasting into ox as a terminal pastes: a megabyte of text in 20,000 indented
// lines, sent between the bracketed-paste marks to ox in a pseudo-terminal of
// 80x24 holding an empty file, timed from the first byte sent until the screen
// (libvterm's) shows the cursor on the line after the last one pasted. Then ox writes the file and
// leaves, and the file must hold exactly what was pasted.
//
// Run: paste_bench [--ox PATH] [--runs N] [--lines N]
#include "common/options.h"
#include "common/pty_session.h"
#include "common/scratch_dir.h"
#include "common/timing.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bench;

// Lines of code-like text at several indents, about 50 bytes each.
std::string pasted_text(int lines) {
    std::string text;
    const char *words[] = {"value", "count", "index", "result", "buffer", "line", "total"};
    for (int i = 0; i < lines; i++) {
        text.append(static_cast<size_t>(4 * (i % 5)), ' ');
        text += "int " + std::string(words[i % 7]) + "_" + std::to_string(i) + " = " +
                words[(i + 3) % 7] + " + " + std::to_string(i * 7 % 1000) + "; // list item\n";
    }
    return text;
}

} // namespace

int main(int argc, char **argv) {
    std::string ox_path = OX_PROGRAM;
    int runs = 5, lines = 20000;
    read_options(argc, argv, {{"--ox", &ox_path}, {"--runs", &runs}, {"--lines", &lines}});
    runs = std::max(1, runs);
    lines = std::max(1, lines);
    if (ox_path.empty() || access(ox_path.c_str(), X_OK) != 0) fail("no ox; give --ox PATH");

    scratch_folder dir("ox_paste");
    write_text(dir.file("bench.ini"), "key_bind \"^X\" \"other_exit yes\"\n");
    const std::string text = pasted_text(lines);
    const std::string last_line = std::to_string(lines + 1);
    std::printf("paste: %d lines, %.2f MB, bracketed, into an empty file\n", lines,
                static_cast<double>(text.size()) / 1e6);

    std::vector<double> times;
    for (int r = 0; r < runs; r++) {
        unlink(dir.file("pasted.bak").c_str());
        write_text(dir.file("pasted.txt"), "");
        pty_session ox({ox_path, "-i", "bench.ini", "pasted.txt"}, dir.path(), {"LC_ALL=C"});
        Clock::time_point shown = ox.wait_for("Birch Editor for");
        Clock::time_point start = Clock::now();
        ox.type("\x1b[200~" + text + "\x1b[201~");
        // The status row shows the line number of the line after the last
        // one pasted as the cursor's.
        ox.wait_for_row(0, " " + last_line + " ");
        times.push_back(ms_since(start));
        ox.type("\x18");
        ox.wait_for("not written, write: ");
        ox.type("\r");
        ox.finish(shown);
        std::ifstream in(dir.file("pasted.txt"));
        std::stringstream saved;
        saved << in.rdbuf();
        // The line after the last one pasted, where the cursor is, is empty.
        if (saved.str() != text + "\n") fail("the file does not hold what was pasted");
        std::printf("run %d: %.1f ms\n", r + 1, times.back());
    }
    std::sort(times.begin(), times.end());
    std::printf("median %.1f ms, best %.1f ms\n", times[times.size() / 2], times.front());
    return 0;
}
