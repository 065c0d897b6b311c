// Builds a tree of text lines of about 45 bytes in folds nested three deep
// (each innermost fold holds 50 lines, ten of them per fold above), the way
// the file reader builds it, then times stepping through every line in file
// order and back, a deep copy and a deep delete, and reports the memory the
// tree takes beyond its text.
#include "common/fail.h"
#include "common/timing.h"
#include "text/line.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace bench;

void append(tree_fold *f, tree_line *l) {
    if (!l) fail("out of memory");
    line_insert(l, f);
    line_step_next(f);
}

constexpr int lines_per_fold = 50;
constexpr int folds_per_fold = 10;

struct sample_texts {
    std::vector<std::string> texts; // 40 to 50 bytes, 45 on average
    long bytes = 0;                 // text bytes of all lines built
};

// A fold at depth (1 to 3) with its contents, built bottom-up: it has no
// parent while it is filled, so each insert counts in this fold only.
tree_line *build_fold(int depth, long *line_no, sample_texts &t) {
    tree_line *l = line_create_fold("fold", depth * 4, depth < 3);
    if (!l) fail("out of memory");
    tree_fold *f = line_fold(l);
    if (depth == 3) {
        for (int i = 0; i < lines_per_fold; i++, ++*line_no) {
            const std::string &text = t.texts[*line_no % t.texts.size()];
            t.bytes += static_cast<long>(text.size());
            append(f, line_create_text(text.c_str()));
        }
    } else {
        for (int i = 0; i < folds_per_fold; i++) append(f, build_fold(depth + 1, line_no, t));
    }
    return l;
}

// Visits every line in file order, entering each fold at its first line and
// leaving it after its end line, keeping the line number from the steps.
// Returns the lines visited; *last_no is the number of the last one.
long walk_forward(tree_fold *root, long *last_no) {
    std::vector<tree_fold *> path{root};
    tree_fold *f = root;
    line_step_first(f);
    long no = 0, visited = 1;
    for (;;) {
        if (f->cur == f->end) {
            if (path.size() == 1) break;
            long fold_no = no - f->cur_count - 1;
            path.pop_back();
            f = path.back();
            no = fold_no + line_step_next(f);
        } else if (line_kind(f->cur) == LINE_FOLD) {
            f = line_fold(f->cur);
            path.push_back(f);
            line_step_first(f);
            no += 1;
        } else {
            no += line_step_next(f);
        }
        visited++;
    }
    *last_no = no;
    return visited;
}

// The same walk backwards from the last line, entering folds at their end.
long walk_backward(tree_fold *root, long *first_no) {
    std::vector<tree_fold *> path{root};
    tree_fold *f = root;
    long no = root->deep_count - 1, visited = 1;
    line_step_last(f);
    for (;;) {
        if (f->cur == f->first) {
            if (path.size() == 1) break;
            no -= 1; // the fold line
            path.pop_back();
            f = path.back();
        } else {
            no += line_step_prev(f);
            if (line_kind(f->cur) == LINE_FOLD) {
                // The fold line is counted when the walk leaves the fold.
                f = line_fold(f->cur);
                path.push_back(f);
                line_step_first(f);
                no += 1 + line_step_last(f);
            }
        }
        visited++;
    }
    *first_no = no;
    return visited;
}

} // namespace

int main(int argc, char **argv) {
    long want = argc > 1 ? atol(argv[1]) : 1000000;
    long per_top = long{lines_per_fold} * folds_per_fold * folds_per_fold;
    long top_folds = (want + per_top - 1) / per_top;

    sample_texts t;
    const char *words = "the quick brown fox jumps over a lazy dog, then runs away again; ";
    for (int i = 0; i < 1024; i++) {
        size_t len = 40 + static_cast<size_t>(i % 11);
        std::string s = "\t" + std::string(words + i % 17, len - 1);
        t.texts.push_back(s);
    }

    long rss_before = peak_rss_kib();
    auto start = Clock::now();
    tree_line *root = line_create_fold("root", 0, 1);
    if (!root) fail("out of memory");
    long lines = 0;
    for (long i = 0; i < top_folds; i++) append(line_fold(root), build_fold(1, &lines, t));
    double build_ms = ms_since(start);
    long rss_built = peak_rss_kib();
    tree_fold *rf = line_fold(root);
    long folds = top_folds * (1 + folds_per_fold + folds_per_fold * folds_per_fold);

    long last_no = 0, first_no = -1;
    start = Clock::now();
    long forward = walk_forward(rf, &last_no);
    double forward_ms = ms_since(start);
    start = Clock::now();
    long backward = walk_backward(rf, &first_no);
    double backward_ms = ms_since(start);
    if (last_no != rf->deep_count - 1 || first_no != 0 || forward != rf->deep_count ||
        backward != rf->deep_count) {
        fprintf(stderr, "walks ended at %ld and %ld after %ld and %ld lines of %d\n", last_no,
                first_no, forward, backward, rf->deep_count);
        fail("the walks lost count");
    }

    start = Clock::now();
    tree_line *copy = line_copy_deep(root);
    double copy_ms = ms_since(start);
    if (!copy || lines_in(copy) != lines_in(root)) fail("deep copy failed");
    long rss_copied = peak_rss_kib();

    start = Clock::now();
    line_delete_deep(copy);
    double delete_ms = ms_since(start);
    line_delete_deep(root);

    double per_line = (rss_built - rss_before) * 1024.0 / lines;
    double text_per_line = static_cast<double>(t.bytes) / lines;
    printf("lines %ld in %ld folds nested 3 deep, text %.1f bytes a line\n", lines, folds,
           text_per_line);
    printf("build             %8.1f ms\n", build_ms);
    printf("step to last      %8.1f ms (%ld lines)\n", forward_ms, forward);
    printf("step back         %8.1f ms\n", backward_ms);
    printf("deep copy         %8.1f ms\n", copy_ms);
    printf("deep delete       %8.1f ms\n", delete_ms);
    printf("peak RSS delta    %8.1f bytes a line, %.1f beyond the text\n", per_line,
           per_line - text_per_line);
    printf("copy RSS delta    %8.1f bytes a line\n", (rss_copied - rss_built) * 1024.0 / lines);
    return 0;
}
