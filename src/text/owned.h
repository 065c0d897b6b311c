// Owning handles for the text model's detached lines and strings.
//
// A line in no list (one just made, removed, or copied) and a string made by
// strsave belong to whoever holds them until they are handed over: put into a
// list, pushed onto the undelete stack, or freed. Holding them in these
// handles frees them when an error unwinds past the holder; release() hands
// them over.
#pragma once

#include <memory>

#include "text/line.h"
#include "text/scan.h"

struct line_deleter {
    // Deep: a fold line goes with everything it holds.
    void operator()(tree_line *l) const { line_delete_deep(l); }
};
using owned_line = std::unique_ptr<tree_line, line_deleter>;

struct string_deleter {
    void operator()(char *s) const { str_free(s); }
};
using owned_string = std::unique_ptr<char, string_deleter>;
