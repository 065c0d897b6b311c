// Going to a tagged line: reads the generated folded file of a million lines
// (bench/common/folded_file.h) into a buffer, tags one line near its end, in
// a closed fold three deep, and times tag_goto from the first line to it;
// then the same backwards from the last line to a line near the start. The walk steps over every
// line and enters every fold on the way; it draws nothing. The file is removed at the end.
//
// Run: build-*/bench/commands/tag_goto_bench [lines] [rounds]
#include "commands/arguments.h"
#include "commands/errors.h"
#include "commands/goto_line.h"
#include "commands/tag_commands.h"
#include "common/editor_setup.h"
#include "common/folded_file.h"
#include "common/scratch_dir.h"
#include "common/timing.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace bench;

// The best time of tag_goto from the line numbered from to the tagged one.
double best_ms(int rounds, int from, int forwards, int tagged) {
    best_run best;
    for (int round = 0; round < rounds; round++) {
        goto_line(cur_buffer, {from});
        arg_val[0].num = forwards;
        int found = 0;
        best.time([&] { found = run_with_recovery(cmd_t_goto); });
        if (!found || cur_buffer->line_no != tagged) fail("tag_goto did not find the line");
    }
    return best.wall;
}

// Tags the line numbered line_no, which must lie in a closed fold.
tree_line *tag_in_closed_fold(int line_no) {
    goto_line(cur_buffer, {line_no});
    if (cur_buffer->fold->open || !cur_buffer->fold->parent) fail("the line is in no closed fold");
    tree_line *l = cur_buffer->fold->cur;
    line_toggle_tag(l);
    return l;
}

} // namespace

int main(int argc, char **argv) {
    long want = argc > 1 ? atol(argv[1]) : 1000000;
    int rounds = argc > 2 ? atoi(argv[2]) : 5;
    scratch_folder dir("ox_tag_bench");
    std::string name = dir.file("source.c");
    folded_file_writer gen = write_folded_file(name, want);
    start_headless_editor();
    cur_buffer = read_buffer(name, folded_language());

    // Forwards from the first line to the last text line of the last closed
    // fold, 3 lines before the file's last; then backwards from that last
    // line to a text line of the first closed fold.
    int last = cur_buffer->top->deep_count - 2;
    tree_line *near_end = tag_in_closed_fold(last - 3);
    double forwards = best_ms(rounds, 0, 1, last - 3);
    line_toggle_tag(near_end);
    // Past the first unit's level-1 fold line and text, level-2 fold line and
    // text, level-3 fold line and first text line.
    int near_start = 1 + 72 + 1 + 40 + 1 + 1;
    tag_in_closed_fold(near_start);
    double backwards = best_ms(rounds, last, 0, near_start);

    printf("file              %ld lines, %ld folds nested 3 deep\n", gen.lines, gen.folds);
    printf("tag_goto yes      %8.2f ms   from line 1 to line %d, in a closed fold\n", forwards,
           last - 3 + 1);
    printf("tag_goto no       %8.2f ms   from line %d to line %d, in a closed fold\n", backwards,
           last + 1, near_start + 1);
    printf("best of %d rounds\n", rounds);
    cur_buffer = nullptr;
    for (text_buffer *b : buffs)
        if (b) buff_delete(b);
    return 0;
}
