// Owners for line trees in tests, so that a failing assertion frees them too.
#pragma once

#include "text/line.h"

#include <memory>

struct test_line_deleter {
    void operator()(tree_line *l) const { line_delete_deep(l); }
};
struct test_fold_deleter {
    void operator()(tree_fold *f) const { f_delete_deep(f); }
};

using LinePtr = std::unique_ptr<tree_line, test_line_deleter>;
using FoldPtr = std::unique_ptr<tree_fold, test_fold_deleter>;

// Appends a line at the fold's end, as the file reader does, and returns it.
inline tree_line *append_line(tree_fold *f, tree_line *l) {
    line_step_last(f);
    line_insert(l, f);
    line_step_next(f);
    return l;
}
