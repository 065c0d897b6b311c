// The line tree.
//
// All text is a tree of lines. A fold (tree_fold) owns a list of line records
// (tree_line) that always ends with the fold's own end line. A text line holds its
// text; a fold line holds a nested tree_fold with a list of its own; a virtual fold
// line holds a virtual_fold naming another file. A tree_fold is also the fold context of
// the user's view of its list: current line and its position, cursor row and
// column, and the two block marks.
//
// Line numbers count lines as a file holds them: a fold line counts as its
// start marker, its contents follow, and its end line counts as the end
// marker. Each fold caches its counts, and every operation here keeps them
// right without recounting:
//
//   - the list runs from first through next links to end, which is last;
//   - line_count is the number of entries, the end line included;
//   - deep_count is line_count plus the deep_count of every fold line's fold;
//   - cur is the entry at cur_index, and cur_count is the sum of
//     lines_in(l) + 1 over the entries l before it;
//   - the fold of every fold line in the list has this fold as parent;
//   - a mark is -1 or a valid index.
//
// Insert and remove change the deep counts of the fold and of every fold up
// its parent chain (time proportional to the depth). They do not change the
// current line count of those ancestors, which stays right because each
// ancestor's current line is the fold line leading down (as after entering a
// fold) or lies before it. Stepping takes constant time.
//
// Creators and copiers return a line that is in no list, or null when memory
// runs out, having freed whatever they made. Nothing here throws or prints.
// Lines come from the text model's record region, folds and strings from its
// pools and arena (text/alloc.h): never free() them.
#pragma once

#include "text/alloc.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

struct tree_fold;
struct virtual_fold;

// The type byte of a line: kind in bits 0-3 (only 0 to 3: a packed record
// keeps two bits of it), bits 4-5 always 0.
enum {
    LINE_TEXT = 0,
    LINE_FOLD = 1,
    LINE_VIRT = 2,
    LINE_END = 3,
    LINE_KIND_MASK = 0x0f,
    LINE_TAG = 0x40,     // the tag mark of tag_line and tag_goto
    LINE_CHANGED = 0x80, // display may be stale: set by editing, cleared by the screen
};

#ifndef OX_RECORD_REGION
#define OX_LINE_UNPACKED 1
#endif

// One line of a list. The links and the type byte and payload are reached
// only through the accessors below; the links change only in the list code.
//
// Memory layout: 14 bytes with no alignment, in the record region of
// text/alloc.h, so that five million lines cost 70 MB of records. The first 8
// bytes hold the links, 30-bit region indices (0 for none), in bits 0-29 and
// 30-59 and the type in bits 60-63: the kind in two bits, then the tag and
// changed flags. The last 6 bytes hold the payload address (user-space
// addresses on x86-64 and aarch64 fit in 48 bits). The span byte of
// text/span_state.h lives beside the region, at the record's index, so that it
// costs memory only once a state is computed. The sanitizer build, and hosts
// without the region, keep plain pointers and bytes, so that the leak checker
// sees plain pointers.
struct tree_line {
#ifdef OX_LINE_UNPACKED
    tree_line *next_;
    tree_line *prev_;
    void *payload_;
    unsigned char type_;
    unsigned char span_;
#else
    unsigned char bytes_[region_record_size];
#endif
};
#ifndef OX_LINE_UNPACKED
static_assert(sizeof(tree_line) == region_record_size, "a million lines cost 14 MB of records");
#endif

// A fold and the fold context of the view of its list. All fields are the
// caller's to read; counts, cur, first, end and parent change only through
// the list and step operations below. name is a string of the text model:
// change it with fold_set_name.
struct tree_fold {
    char *name;         // shown after the fold marker; at most 500 bytes
    int indent;         // column offset relative to the fold that holds it
    int line_count;     // entries in the list, end line included (1 when empty)
    int deep_count;     // lines the list stands for with every fold expanded
    int cur_index;      // position of cur in the list, from 0
    int cur_count;      // lines before cur with every fold expanded
    int into;           // cursor position in the current line
    int col;            // remembered screen column; -1 means the end of the line
    int row;            // screen row of the current line
    int mark1;          // list index of block mark 1, -1 when unset
    int mark2;          // list index of block mark 2, -1 when unset
    unsigned char open; // 1 open, 0 closed
    // 1 when a line of the list, or of a fold inside, may hold a known span
    // state (text/span_state.h); 0 when none does.
    unsigned char spans_known;
    tree_line *cur;    // the current line
    tree_line *first;  // the first line (end when the list is empty)
    tree_line *end;    // this fold's end line, always last, made and freed with the fold
    tree_fold *parent; // fold whose list holds this fold's line; null for none
    tree_line *line;   // this fold's own fold line; null for one made alone (a top fold)
};

// A virtual fold: another file, read when the user enters the line.
struct virtual_fold {
    char *name; // the file name in its quoted form; change it with vfold_set_name
    int indent; // relative like a fold's
    int open;   // 1 open, 0 closed
};

// ---- Links -----------------------------------------------------------------

// The line after l in its list (null after the end line) and the line before
// it (null before the first line).
#ifdef OX_LINE_UNPACKED
inline tree_line *line_next(const tree_line *l) {
    return l->next_;
}
inline tree_line *line_prev(const tree_line *l) {
    return l->prev_;
}
inline void line_set_next_(tree_line *l, tree_line *next) {
    l->next_ = next;
}
inline void line_set_prev_(tree_line *l, tree_line *prev) {
    l->prev_ = prev;
}
#else
// The packed record's words: the links word (bytes 0-7) and the payload word,
// read as the 8 bytes ending the record and shifted down past the links
// word's top two bytes.
inline constexpr int line_prev_shift_ = 30;
inline constexpr int line_type_shift_ = 60;
inline constexpr uint64_t line_link_mask_ = (uint64_t{1} << line_prev_shift_) - 1;
inline constexpr uintptr_t line_payload_mask_ = (uintptr_t{1} << 48) - 1;
inline uint64_t line_links_word_(const tree_line *l) {
    uint64_t w;
    std::memcpy(&w, l->bytes_, sizeof w);
    return w;
}
inline void line_set_links_word_(tree_line *l, uint64_t w) {
    std::memcpy(l->bytes_, &w, sizeof w);
}
inline tree_line *line_at_(uint32_t index) {
    return index ? reinterpret_cast<tree_line *>(region_base_) + index : nullptr;
}
inline uint32_t line_index_(const tree_line *l) {
    return l ? static_cast<uint32_t>(l - reinterpret_cast<const tree_line *>(region_base_)) : 0;
}
inline tree_line *line_next(const tree_line *l) {
    return line_at_(static_cast<uint32_t>(line_links_word_(l) & line_link_mask_));
}
inline tree_line *line_prev(const tree_line *l) {
    return line_at_(
        static_cast<uint32_t>(line_links_word_(l) >> line_prev_shift_ & line_link_mask_));
}
inline void line_set_next_(tree_line *l, tree_line *next) {
    line_set_links_word_(l, (line_links_word_(l) & ~line_link_mask_) | line_index_(next));
}
inline void line_set_prev_(tree_line *l, tree_line *prev) {
    line_set_links_word_(l, (line_links_word_(l) & ~(line_link_mask_ << line_prev_shift_)) |
                                uint64_t{line_index_(prev)} << line_prev_shift_);
}
#endif

// ---- Type byte and payload -------------------------------------------------

// Layout internals, used by the accessors below and the text model's own
// code; names ending in "_" are not for other modules.
#ifdef OX_LINE_UNPACKED
inline unsigned line_type(const tree_line *l) {
    return l->type_;
}
inline void *line_payload_(const tree_line *l) {
    return l->payload_;
}
inline void line_set_type_(tree_line *l, unsigned type) {
    l->type_ = static_cast<unsigned char>(type);
}
inline void line_set_payload_(tree_line *l, void *p) {
    l->payload_ = p;
}
inline unsigned line_span_(const tree_line *l) {
    return l->span_;
}
inline void line_set_span_(tree_line *l, unsigned span) {
    l->span_ = static_cast<unsigned char>(span);
}
#else
// The type's four bits hold the kind (0-3) and the tag and changed flags, which
// the type byte keeps in bits 6 and 7.
inline uint64_t line_type_bits_(unsigned type) {
    return (type & 3u) | (type >> 4 & 12u);
}
inline unsigned line_type(const tree_line *l) {
    unsigned t = static_cast<unsigned>(line_links_word_(l) >> line_type_shift_);
    return (t & 3u) | (t & 12u) << 4;
}
inline void *line_payload_(const tree_line *l) {
    uint64_t w;
    std::memcpy(&w, l->bytes_ + region_record_size - sizeof w, sizeof w);
    return reinterpret_cast<void *>(static_cast<uintptr_t>(w >> 16));
}
inline void line_set_type_(tree_line *l, unsigned type) {
    line_set_links_word_(l, (line_links_word_(l) & ~(uint64_t{15} << line_type_shift_)) |
                                line_type_bits_(type) << line_type_shift_);
}
inline void line_set_payload_(tree_line *l, void *p) {
    uint64_t w = reinterpret_cast<uintptr_t>(p);
    std::memcpy(l->bytes_ + sizeof(uint64_t), &w, region_record_size - sizeof w);
}
inline unsigned line_span_(const tree_line *l) {
    return region_span(line_index_(l));
}
inline void line_set_span_(tree_line *l, unsigned span) {
    region_set_span(line_index_(l), span);
}
#endif

// A record from the allocator, as a line in no list. A packed record's span
// byte is already 0: fresh ones are, and freed ones were cleared
// (text/alloc.cpp).
inline void line_init_(tree_line *l, unsigned type, void *payload) {
#ifdef OX_LINE_UNPACKED
    l->next_ = nullptr;
    l->prev_ = nullptr;
    l->payload_ = payload;
    l->type_ = static_cast<unsigned char>(type);
    l->span_ = 0;
#else
    line_set_links_word_(l, line_type_bits_(type) << line_type_shift_);
    line_set_payload_(l, payload);
#endif
}

// line_type: the whole type byte. line_kind: LINE_TEXT, LINE_FOLD, LINE_VIRT
// or LINE_END.
inline int line_kind(const tree_line *l) {
    return static_cast<int>(line_type(l) & LINE_KIND_MASK);
}

inline bool line_is_changed(const tree_line *l) {
    return line_type(l) & LINE_CHANGED;
}
inline void line_set_changed(tree_line *l) {
    line_set_type_(l, line_type(l) | LINE_CHANGED);
}
inline void line_clear_changed(tree_line *l) {
    line_set_type_(l, line_type(l) & ~unsigned{LINE_CHANGED});
}

inline bool line_is_tagged(const tree_line *l) {
    return line_type(l) & LINE_TAG;
}
inline void line_toggle_tag(tree_line *l) {
    line_set_type_(l, line_type(l) ^ LINE_TAG);
}

// The payload, by kind; asking a line of another kind is a programming error.
inline const char *line_text(const tree_line *l) {
    assert(line_kind(l) == LINE_TEXT);
    return static_cast<const char *>(line_payload_(l));
}
inline tree_fold *line_fold(const tree_line *l) {
    assert(line_kind(l) == LINE_FOLD);
    return static_cast<tree_fold *>(line_payload_(l));
}
inline virtual_fold *line_virt(const tree_line *l) {
    assert(line_kind(l) == LINE_VIRT);
    return static_cast<virtual_fold *>(line_payload_(l));
}
// The fold whose list an end line ends.
inline tree_fold *line_end_fold(const tree_line *l) {
    assert(line_kind(l) == LINE_END);
    return static_cast<tree_fold *>(line_payload_(l));
}

// Replace a text line's text, a fold's name or a virtual fold's name with a
// copy of text. 1 on success; 0 when memory runs out, the old string kept.
// The type byte is not touched: the caller marks the line changed.
int line_set_text(tree_line *l, const char *text);
int fold_set_name(tree_fold *f, const char *name);
int vfold_set_name(virtual_fold *v, const char *name);

// ---- The string and indent of any line ----------------------------------------

// The string a line shows after its marker and that the editing commands
// change: a text line's text, a fold's name, a virtual fold's file name in its
// quoted form; "" for an end line.
const char *string_of(const tree_line *l);

// The one setter of that string, by kind, as the three setters above: 1, or 0
// when memory runs out (the old string kept) or the line is an end line.
int line_set_string(tree_line *l, const char *s);

// The base column of a line: 0 for a text or end line, the indent plus 4 (the
// width of "{{{ " before the name) for a fold or virtual fold line. Indents
// too large to be shown are held to +-2^24, so that sums of columns fit an int.
int indent_of(const tree_line *l);

// A fold or virtual fold line's own indent, relative to the fold holding it,
// and its open flag; 0 for other lines. The setters change a fold or virtual
// fold line only (others are left alone) and do not mark the line changed.
int line_indent(const tree_line *l);
void line_set_indent(tree_line *l, int indent);
int line_is_open(const tree_line *l);
void line_set_open(tree_line *l, int open);

// ---- Marks ---------------------------------------------------------------------

// Sets both block marks of the fold (each -1 or a valid index). Commands set
// marks only through it, so that a watcher sees every change.
void fold_set_marks(tree_fold *f, int mark1, int mark2);

// ---- Notices to upper layers ------------------------------------------------
//
// Each has one registrant at a time (host/notice.h): another is refused.

// Called for every line record, end lines included, just before a deleter
// frees it (the screen forgets rows that show it). Null for none.
void line_set_delete_notice(void (*notice)(tree_line *));

// Called for every fold record just before it is freed (the search forgets a
// fold it started in). Null for none.
void fold_set_free_notice(void (*notice)(tree_fold *));

// A watcher of every change to the tree, for the undo journal, which
// implements it. Each function is called from the one function of this module
// that makes the change it names, just before it (moving once the run has
// been walked), except replaced, which comes once the new string is in place;
// none may change the tree. With no watcher set, each change costs one test
// more.
struct tree_watcher {
    virtual ~tree_watcher() = default;
    virtual void inserting(tree_line *l, tree_fold *f) = 0; // line_insert
    virtual void removing(tree_fold *f) = 0;                // line_remove
    virtual void moving(tree_fold *from, int n, tree_fold *to,
                        tree_line *after) = 0; // line_move_run; after follows the n
    virtual void indenting(tree_line *l,
                           int indent) = 0; // line_set_indent of a fold or virtual fold line
    virtual void opening(tree_line *l,
                         int open) = 0; // line_set_open of a fold or virtual fold line
    virtual void marking(tree_fold *f, int mark1, int mark2) = 0; // fold_set_marks
    // A string setter has put its new string in place of old (kind LINE_TEXT,
    // LINE_FOLD or LINE_VIRT, owner the tree_line, tree_fold or virtual_fold holding it): 1
    // when the watcher keeps old, which is then not freed.
    virtual int replaced(int kind, void *owner, char *old) = 0;
    // line_delete or line_delete_deep is about to free a line in no list: 1
    // when the watcher keeps it (everything it holds with it) instead.
    virtual int deleting(tree_line *l) = 0;
};

// Sets the watcher (null for none), one at a time like the notices; the
// watcher must outlive its use.
void line_set_watcher(tree_watcher *w);

// The watcher set, for this module's own code.
extern tree_watcher *line_watcher_;

// ---- Putting changes back --------------------------------------------------

// For the undo journal, which undoes changes in the reverse order and so
// finds every list as it was when it recorded a change: the current line of
// the fold becomes l, which the caller knows stands at that index with that
// current line count, without walking there.
void line_set_current(tree_fold *f, tree_line *l, int index, int count);

// Puts s (a string of the text model) in the place of the string of that kind
// held by owner, as tree_watcher::replaced names them, and returns the string
// it held, neither copying nor freeing either. Watchers are not told.
char *string_exchange(int kind, void *owner, char *s);

// ---- Creation, copying and deletion ---------------------------------------

// A fold without a fold line: a copy of name, indent and open, an empty list
// whose end line is current, counts 1 and 0, into and col 0, row
// FOLD_FIRST_ROW, no marks, no parent. A buffer's top fold is made this way.
tree_fold *fold_create(const char *name, int indent, int open);

// The cursor row of a new fold: the highest the cursor may stand on, which
// display/rows.h names (and checks that the two agree).
inline constexpr int FOLD_FIRST_ROW = 4;

// Frees the fold record, its name and its end line, not the lines of its list.
void fold_free(tree_fold *f);

// New lines; the type byte holds the kind only. line_create_text_of takes a
// text whose length is known (its NUL at text[length]).
tree_line *line_create_text(const char *text);
tree_line *line_create_text_of(const char *text, size_t length);
tree_line *line_create_fold(const char *name, int indent, int open);
tree_line *line_create_virt(const char *quoted_name, int indent, int open);

// Copies carry the kind only, no tag or changed flag. line_copy_fold is
// shallow (same name, indent and open, empty list); line_copy_deep_fold copies
// every line inside too and leaves the copy's current line at its end line.
tree_line *line_copy_text(const tree_line *l);
tree_line *line_copy_virt(const tree_line *l);
tree_line *line_copy_fold(const tree_line *l);
tree_line *line_copy_deep_fold(const tree_line *l);

// By kind: a text, fold (shallow or deep) or virtual fold copy; null for an
// end line.
tree_line *line_copy(const tree_line *l);
tree_line *line_copy_deep(const tree_line *l);

// Free a line that is in no list, with its payload. line_delete_fold is
// shallow: the caller has moved the lines of its list away first. Null is
// ignored.
void line_delete_text(tree_line *l);
void line_delete_virt(tree_line *l);
void line_delete_fold(tree_line *l);
void line_delete_deep_fold(tree_line *l);

// Deletes every line of the fold's list deeply, then the fold itself.
void f_delete_deep(tree_fold *f);

// By kind, shallow or deep for fold lines; an end line (or null) is left alone,
// and so is a line that the watcher (below) keeps.
void line_delete(tree_line *l);
void line_delete_deep(tree_line *l);

// ---- List operations ---------------------------------------------------------

// The deep count of a fold line's fold; 0 for any other line. Stepping over a
// line moves the current line count by lines_in + 1.
inline int lines_in(const tree_line *l) {
    return line_kind(l) == LINE_FOLD ? line_fold(l)->deep_count : 0;
}

// Links l in before the current line, and l becomes current at the same index
// and current line count. Marks at or after the current index move up by one
// (a mark on the old current line follows it). A fold line's fold gets f as
// parent.
void line_insert(tree_line *l, tree_fold *f);

// Unlinks and returns the current line, which must not be the end line; the
// next line becomes current at the same index and line count. Marks after the
// current index move down by one; a mark on it now names the next line. A fold
// line's fold gets a null parent.
tree_line *line_remove(tree_fold *f);

// Moves the n lines from `from`'s current line on (not reaching its end line)
// to before `to`'s current line, in their order, as n line_remove from `from`
// and line_insert into `to` would, last line first: `from`'s current line
// becomes the line after them, `to`'s current line the first of them, both at
// the same index and line count as before; marks and parents follow as they
// would there. The lines are walked once, and the counts of each parent chain
// are changed once, so a run of any length costs one pass. `to` must not be
// `from`, nor a fold inside the run.
void line_move_run(tree_fold *from, int n, tree_fold *to);

// ---- Stepping: each returns the change of the current line count ----------

// Over the current line (not at the end line): returns lines_in + 1.
int line_step_next(tree_fold *f);
// Back over the previous line (not at the first line): returns -(lines_in + 1).
int line_step_prev(tree_fold *f);
// To the first line: returns minus the old current line count.
int line_step_first(tree_fold *f);
// To the end line: returns deep_count - 1 - the old current line count.
int line_step_last(tree_fold *f);
// To a valid index, one step at a time: returns the sum of the steps.
int line_step_to(tree_fold *f, int index);
