// The undo journal's object and its records, shared by its files:
// journal.cpp (the journals and their actions, the public functions),
// journal_watch.cpp (recording the changes) and journal_replay.cpp (undo and
// redo). Not for use outside the journal (commands/journal.h).
#pragma once

#include "commands/journal.h"

#include "text/line.h"

#include <array>
#include <cstddef>
#include <deque>
#include <unordered_map>
#include <vector>

namespace journal_detail {

enum record_kind : unsigned char { R_LIST, R_STRING, R_INDENT, R_OPEN, R_MARKS };

// A side of a list change: the place in a fold where lines went or came (the
// line after that spot, with its index and the fold's current line count
// there, and the fold's marks before the change and after it, the latter
// taken when it is first undone); or no fold, for a line in no list. Undoing
// in the reverse order finds every list as the change left it, so the place
// is taken up again without walking to it.
struct list_side {
    tree_fold *fold;
    tree_line *cur;
    int index, count;
    int before[2];
    int after[2];
};

// R_LIST: n lines from `first` on went from one side to the other: a line
// inserted (from no list), removed (to no list), or a run moved between
// folds. key names the side outside the buffer, if any (key_of).
struct list_change {
    list_side from, to;
    tree_line *first;
    int n;
    const void *key;
};

// One change. R_LIST: obj the list_change. R_STRING: a is the string's kind,
// obj its owner, str the string not in the tree now. R_INDENT and R_OPEN: obj
// the line, a the value not in it now. R_MARKS: obj the fold, a and b the
// marks not in it now.
struct record {
    record_kind kind;
    int a, b;
    void *obj;
    char *str;
};

struct action {
    std::vector<record> records;
    journal_cursor start{}, end{};
    bool text = false; // changed more than marks
};

// The saved point: an index into the actions, or one of these.
constexpr long SAVED_NONE = -1;    // none: the file matches no point
constexpr long SAVED_UNKNOWN = -2; // the point now, if the buffer is unchanged

// One buffer's journal.
struct buffer_journal {
    text_buffer *buff = nullptr; // null for a free slot
    std::deque<action> actions;
    size_t done = 0;
    long saved = SAVED_UNKNOWN;
    // The action of the key running, or null; an action of typed characters
    // stays open while the keys after it type too.
    action *open = nullptr;
    bool frozen = false;  // read afresh during this key: records nothing more
    bool touched = false; // opened an action or froze during this key
    size_t bytes = 0;     // records, strings and the lines it keeps, roughly
};

// A fold line is known by its fold (a move names only the fold), any other
// line by itself.
inline const void *key_of(const tree_line *l) {
    return line_kind(l) == LINE_FOLD ? static_cast<const void *>(line_fold(l)) : l;
}

// The detached lines and folds that records name: how many records name
// each, and the line itself while the journal keeps it (it is then counted in
// its journal's bytes).
class kept_lines {
  public:
    // A record of j names the key, which may be null (none); throws
    // std::bad_alloc.
    void ref(const void *key, buffer_journal *j);
    // The last record naming it goes: a line the journal keeps is freed.
    void unref(const void *key);
    // The line of a named key is the journal's now, or goes into a tree.
    void keep(const void *key, tree_line *l);
    void let_go(const void *key);
    // A line about to be freed: 1 when a record names it and it is kept.
    int keeps(tree_line *l);
    bool empty() const { return roots.empty(); }

  private:
    struct root {
        buffer_journal *j;
        int refs;
        tree_line *kept;
        size_t cost;
    };
    root &named(const void *key);
    std::unordered_map<const void *, root> roots;
};

// Every buffer's journal, the key running, and the lines records keep. It is
// the tree's watcher while it lives.
class undo_journal final : public tree_watcher {
  public:
    undo_journal();
    ~undo_journal() override;
    undo_journal(const undo_journal &) = delete;
    undo_journal &operator=(const undo_journal &) = delete;

    // ---- journal.cpp ----
    buffer_journal *find(const text_buffer *b); // null when it has none
    buffer_journal &of(text_buffer *b);         // made when it has none
    void begin(bool typing);
    void end();
    void saved(text_buffer *b);
    void buffer_going(text_buffer *b, int event);

    // ---- journal_replay.cpp ----
    // Undoes the buffer's last action or redoes the first undone: 0 when
    // there is none. Raises "out of memory" with nothing changed.
    int step(text_buffer *b, journal_cursor *was, bool undo);

    // ---- journal_watch.cpp ----
    void inserting(tree_line *l, tree_fold *f) override;
    void removing(tree_fold *f) override;
    void moving(tree_fold *from, int n, tree_fold *to, tree_line *after) override;
    void indenting(tree_line *l, int indent) override;
    void opening(tree_line *l, int open) override;
    void marking(tree_fold *f, int mark1, int mark2) override;
    int replaced(int kind, void *owner, char *old) override;
    int deleting(tree_line *l) override;

  private:
    // ---- journal.cpp ----
    void touch(buffer_journal &j);
    // The action the key running adds to; a new one drops the redo side.
    // Throws std::bad_alloc.
    action &open_action(buffer_journal &j);
    // Ends the open action: it takes the cursor as its end, and the oldest go
    // past the limits.
    void close(buffer_journal &j);
    // Memory ran out while recording: the journal starts afresh after this key.
    void lose(buffer_journal &j);
    void release(buffer_journal &j, action &a);
    void drop_redo(buffer_journal &j);
    void drop_oldest(buffer_journal &j);
    void drop_all(buffer_journal &j);

    // ---- journal_watch.cpp ----
    // The journal that records a change of the buffer now, or null (no
    // buffer, or read afresh during this key).
    buffer_journal *recording(text_buffer *b);
    void record_list(text_buffer *b, const list_change &c);
    // Adds the record unless the open action's last record already holds the
    // value before it (a run of changes to one thing): 1 when added.
    int add(buffer_journal &j, const record &r, bool text);

    // ---- journal_replay.cpp ----
    void leave_stack_copies(const action &a);
    void put_back(buffer_journal &j, record &r, bool undo);
    void put_back_list(list_change &c, bool undo);

    std::array<buffer_journal, MAX_BUFFS> slots;
    // The journal found last: mostly the current buffer's, whose lines change
    // with every typed character.
    buffer_journal *last_used = nullptr;
    bool any_touched = false;
    bool key_typing = false;
    text_buffer *begin_buff =
        nullptr; // the current buffer as the key began, until its first action
    journal_cursor begin_cursor{};
    kept_lines kept;
};

// What a record counts in its journal's bytes.
size_t cost_of(const record &r);

journal_cursor cursor_of(const text_buffer *b);

// The saved point becomes known, if it was not: now, if the buffer is unchanged.
void resolve_saved(buffer_journal &j);

} // namespace journal_detail
