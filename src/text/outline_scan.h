// The lines of a list as an outline rule sees them (text/outline_rule.h):
// one item for each entry of a fold's list, in order, with what the finder
// of definitions (text/outline_find.h) needs to know of it.
//
// Only the list's own entries are items, since only between them can a new
// fold begin or end; the lines inside a fold line are read as the file holds
// them (the lexer's state runs through them) and summed up in their fold
// line's item. A virtual fold line is a comment in the file: it changes
// nothing.
//
// Each text line has a value by the rule's kind, and each fold line the least
// value of the lines inside it (`least`) and the value of the first line
// inside that has one (`lead`):
//
//   braces     the depth of "{" blocks at the line's end
//   indent     the line's indent, for a line that begins a logical line
//              (nothing open before it) and holds code
//   headings   the heading's level, OUTLINE_TEXT for other lines with text
//
// and OUTLINE_NONE for lines without one. The depth of a braces list starts
// at 0 and never goes below it.
#pragma once

#include "text/line.h"
#include "text/outline_rule.h"

#include <climits>
#include <vector>

inline constexpr int OUTLINE_NONE = INT_MAX;
inline constexpr int OUTLINE_TEXT = INT_MAX - 1;

enum : unsigned {
    ITEM_TEXT = 1,         // a text line (else a fold or virtual fold line)
    ITEM_CLEAN_AFTER = 2,  // nothing is open at its end: a marker line may follow
    ITEM_BLANK = 4,        // no code nor comment
    ITEM_COMMENT = 8,      // comments only
    ITEM_DIRECTIVE = 16,   // a directive line (see "^" in text/outline_rule.h)
    ITEM_BRACE_FIRST = 32, // its code begins with "{"
    ITEM_LOGICAL = 64,     // nothing was open at its start, and it holds code
};

struct outline_item {
    const tree_line *line;
    int depth;          // braces: the depth at its start
    int depth_end;      // braces: the depth at its end
    int least, lead;    // values, as above
    int indent;         // text line: the columns of its leading blanks, tabs to 8
    unsigned char last; // text line: its last byte of code, 0 for none
    unsigned char flags;
};

// The items of the list's entries (its end line not included), in order.
// False when memory runs out.
bool outline_scan(const outline_rule &rule, const tree_fold *list,
                  std::vector<outline_item> &items);

// The text of a line from its first byte that is not a blank.
const char *outline_text(const outline_item &item);
