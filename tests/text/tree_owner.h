// Owners for line trees in tests, so that a failing assertion frees them too.
#pragma once

#include "text/line.h"

#include <memory>

struct LineDeleter {
    void operator()(LINE *l) const { line_delete_deep(l); }
};
struct FoldDeleter {
    void operator()(FOLD *f) const { f_delete_deep(f); }
};

using LinePtr = std::unique_ptr<LINE, LineDeleter>;
using FoldPtr = std::unique_ptr<FOLD, FoldDeleter>;

// Appends a line at the fold's end, as the file reader does, and returns it.
inline LINE *append_line(FOLD *f, LINE *l) {
    line_step_last(f);
    line_insert(l, f);
    line_step_next(f);
    return l;
}
