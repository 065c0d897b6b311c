// The text model's side of syntax colour, without a terminal: the generated
// file of a million lines in folds read into a buffer whose language has the
// shipped ox.ini's rules for C, then the best of several rounds of:
//
//   fill     the state of every line from the top to the middle of the file
//            made known (what the first screen there costs once)
//   settle   a line in the middle changed and settled, its state unchanged
//            (what each typed character costs)
//   flip     a comment opened on the first line and closed again, each
//            settled: every line's state changes twice
//   scan     every line coloured, and every line's final state alone
//
// Run: build-*/bench/text/span_bench [--lines N] [--rounds N] [--ini PATH]
#include "common/editor_setup.h"
#include "common/folded_file.h"
#include "common/options.h"
#include "common/scratch_dir.h"
#include "common/timing.h"
#include "text/span_state.h"
#include "text/syntax.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#ifndef OX_SOURCE_DIR
#define OX_SOURCE_DIR "."
#endif

namespace {

using namespace bench;

// The C rules of an initialisation file: its lines
// language_syntax "c" "class" "start" "end" "skip".
void add_c_rules(language_def *lang, const std::string &ini) {
    std::ifstream in(ini);
    if (!in) fail("cannot read " + ini);
    const std::string head = "language_syntax \"c\" ";
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, head.size(), head) != 0) continue;
        char field[4][LINE_BUF_SIZE];
        const char *p = line.c_str() + head.size();
        for (char *f : field) {
            p = scan_quoted_str(skip_space(p), f);
            if (!p) fail("bad rule: " + line);
        }
        if (syntax_add(&lang->syntax, syntax_class_of(field[0]), field[1], field[2], field[3],
                       nullptr) != SYNTAX_OK)
            fail("rule not taken: " + line);
    }
    if (syntax_count(lang->syntax) == 0) fail("no rules for c in " + ini);
}

// Every text line of the tree in file order.
void text_lines(tree_fold *f, std::vector<tree_line *> &out) {
    for (tree_line *l = f->first; l != f->end; l = line_next(l)) {
        if (line_kind(l) == LINE_TEXT) out.push_back(l);
        if (line_kind(l) == LINE_FOLD) text_lines(line_fold(l), out);
    }
}

} // namespace

int main(int argc, char **argv) {
    long want = 1000000;
    int rounds = 5;
    std::string ini = OX_SOURCE_DIR "/ox.ini";
    read_options(argc, argv, {{"--lines", &want}, {"--rounds", &rounds}, {"--ini", &ini}});
    scratch_folder scratch("ox_span");
    const std::string file = scratch.file("x.c");
    folded_file_writer gen = write_folded_file(file, want);
    start_headless_editor();
    language_def *c = folded_language();
    add_c_rules(c, ini);
    cur_buffer = read_buffer(file, c);
    tree_fold *top = cur_buffer->top;
    std::vector<tree_line *> lines;
    text_lines(top, lines);
    tree_line *middle = lines[lines.size() / 2];
    std::printf("file: %ld lines, %ld folds; %zu text lines; %d rules; best of %d rounds\n",
                gen.lines, gen.folds, lines.size(), syntax_count(c->syntax), rounds);

    span_settle(); // colour on
    best_run fill, settle, flip, coloured, final_state;
    std::string text = line_text(middle);
    for (int r = 0; r < rounds; r++) {
        span_forget(cur_buffer);
        line_step_first(top);
        fill.time([&] { span_fill(cur_buffer, top, middle); });
        settle.time([&] {
            for (int i = 0; i < 1000; i++) {
                line_set_text(middle, (text + std::to_string(i)).c_str());
                span_settle();
            }
        });
        span_fill(cur_buffer, top, top->end);
        std::string first = line_text(lines[0]);
        flip.time([&] {
            line_set_text(lines[0], ("/*" + first).c_str());
            span_settle();
            line_set_text(lines[0], first.c_str());
            span_settle();
        });
        unsigned char classes[LINE_BUF_SIZE];
        coloured.time([&] {
            for (tree_line *l : lines) syntax_scan(c->syntax, line_text(l), SPAN_NONE, classes);
        });
        final_state.time([&] {
            for (tree_line *l : lines) syntax_scan(c->syntax, line_text(l), SPAN_NONE, nullptr);
        });
    }
    double half = static_cast<double>(lines.size()) / 2, n = static_cast<double>(lines.size());
    std::printf("%-8s %10s %14s\n", "", "cpu ms", "per line");
    std::printf("%-8s %10.1f %11.0f ns\n", "fill", fill.cpu, fill.cpu * 1e6 / half);
    std::printf("%-8s %10.4f %11s    (one settle)\n", "settle", settle.cpu / 1000, "");
    std::printf("%-8s %10.1f %11.0f ns  (each of two settles)\n", "flip", flip.cpu / 2,
                flip.cpu * 1e6 / 2 / n);
    std::printf("%-8s %10.1f %11.0f ns  (colours)\n", "scan", coloured.cpu, coloured.cpu * 1e6 / n);
    std::printf("%-8s %10.1f %11.0f ns  (final state alone)\n", "scan", final_state.cpu,
                final_state.cpu * 1e6 / n);
    return 0;
}
