#include "commands/undelete.h"

#include "commands/block.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/typing.h"
#include "display/prompt.h"
#include "text/buffer.h"
#include "text/scan.h"

#include <cassert>
#include <cstring>
#include <utility>

namespace {

undelete_entry entries[UNDEL_MAX];
int n_entries;

// A line an undo journal still names is left to it by line_delete_deep.
void release(undelete_entry &e) {
    switch (e.kind) {
    case UNDEL_LINE:
    case UNDEL_BLOCK: line_delete_deep(e.item.line); break;
    case UNDEL_STRING: str_free(e.item.str); break;
    default: break;
    }
}

void push(undelete_entry e) {
    if (n_entries == UNDEL_MAX) {
        release(entries[0]);
        for (int i = 1; i < UNDEL_MAX; i++) entries[i - 1] = entries[i];
        n_entries--;
    }
    e.home = cur_buffer ? cur_buffer->id : -1;
    entries[n_entries++] = e;
}

undelete_entry line_entry(int kind, tree_line *l) {
    undelete_entry e{};
    e.kind = kind;
    e.item.line = l;
    return e;
}

undelete_entry char_entry(int kind, const char *bytes, int n) {
    undelete_entry e{};
    e.kind = kind;
    for (int i = n - 1; i >= 0; i--)
        e.item.chr = e.item.chr << 8 | static_cast<unsigned char>(bytes[i]);
    return e;
}

} // namespace

void undel_push_line(tree_line *l) {
    push(line_entry(UNDEL_LINE, l));
}

void undel_push_block(tree_line *holder) {
    push(line_entry(UNDEL_BLOCK, holder));
}

void undel_push_char_left(unsigned char c) {
    char byte = static_cast<char>(c);
    push(char_entry(UNDEL_CHAR_LEFT, &byte, 1));
}

void undel_push_char_right(unsigned char c) {
    char byte = static_cast<char>(c);
    push(char_entry(UNDEL_CHAR_RIGHT, &byte, 1));
}

void undel_push_char_left(const char *bytes, int n) {
    push(char_entry(UNDEL_CHAR_LEFT, bytes, n));
}

void undel_push_char_right(const char *bytes, int n) {
    push(char_entry(UNDEL_CHAR_RIGHT, bytes, n));
}

void undel_push_string(const char *text) {
    char *copy = strsave(text);
    if (!copy) error_code(ERR_OUT_OF_MEMORY);
    undel_push_string_owned(copy);
}

void undel_push_string_owned(char *text) {
    undelete_entry e{};
    e.kind = UNDEL_STRING;
    e.item.str = text;
    push(e);
}

int undel_unpack(tree_line *holder, tree_fold *f) {
    tree_fold *h = line_fold(holder);
    line_step_first(h);
    int moved = h->line_count - 1;
    // One relinking pass, however many lines the holder has.
    line_move_run(h, moved, f);
    return moved;
}

int undel_count() {
    return n_entries;
}

const undelete_entry &undel_entry(int i) {
    assert(i >= 0 && i < n_entries);
    return entries[i];
}

int undel_top_kind() {
    return n_entries ? entries[n_entries - 1].kind : -1;
}

void undel_release_all() {
    for (int i = 0; i < n_entries; i++) release(entries[i]);
    n_entries = 0;
}

tree_line *undel_swap_line(int i, tree_line *l) {
    assert(i >= 0 && i < n_entries);
    tree_line *had = entries[i].item.line;
    entries[i].item.line = l;
    return had;
}

namespace {

undelete_entry &top_entry() {
    if (!n_entries) error_code(ERR_UNDELETE_EMPTY);
    return entries[n_entries - 1];
}

// The entry's line or holder, for the current buffer: itself when it was
// pushed here, where the undo journal that may name it can have it back; an
// equal copy elsewhere, the stack letting go of the line itself.
owned_line take_lines(const undelete_entry &e) {
    if (e.home == cur_buffer->id) return owned_line(e.item.line);
    owned_line copy(equal_copy(e.item.line));
    if (!copy) error_code(ERR_OUT_OF_MEMORY);
    line_delete_deep(e.item.line);
    return copy;
}

void insert_line(tree_line *l) {
    line_insert(l, cur_fold());
    line_changed(l);
    cursor_to_line_start();
}

// The holder's lines go in before the current line and become the marked
// block; the emptied holder is freed.
void insert_block(owned_line holder) {
    block_unpack_marked(holder.get());
    cursor_to_line_start();
    buffer_changed();
}

// Raises what typing the text at the cursor would raise part way, before any
// of it is typed: "can't type on fold indentation" when the cursor is in a
// fold line's indentation and the text holds more than spaces, "line too
// long" when the line cannot take the whole text.
void check_fits(const char *text) {
    const tree_line *l = cur_line();
    if (line_kind(l) == LINE_END) return; // the text goes into a new, empty line
    if (string_pos(l) < 0) {
        for (const char *s = text; *s; s++)
            if (*s != ' ') error_code(ERR_FOLD_INDENTATION);
    } else if (std::strlen(string_of(l)) + std::strlen(text) > LINE_MAX_TEXT) {
        error_code(ERR_LINE_TOO_LONG);
    }
}

// Characters and strings go back as typed in insert mode, the cursor after a
// character deleted left of it and before anything else. Nothing is typed
// when not all of it can be. False for an empty string, which changes
// nothing.
bool insert_text(const undelete_entry &e) {
    char one[5] = {};
    for (int i = 0; i < 4; i++) one[i] = static_cast<char>(e.item.chr >> 8 * i & 0xFF);
    const char *text = e.kind == UNDEL_STRING ? e.item.str : one;
    if (!*text) return false;
    check_fits(text);
    if (e.kind == UNDEL_CHAR_LEFT) {
        insert_chars(text, static_cast<int>(std::strlen(text)));
        return true;
    }
    line_for_typing();
    int into = cur_fold()->into;
    for (const char *s = text; *s; s++) insert_char(static_cast<unsigned char>(*s));
    set_into(into);
    return true;
}

} // namespace

void cmd_undelete() {
    undelete_entry &e = top_entry();
    switch (e.kind) {
    case UNDEL_LINE: {
        owned_line l = take_lines(e);
        n_entries--;
        insert_line(l.release());
        break;
    }
    case UNDEL_BLOCK: {
        owned_line holder = take_lines(e);
        n_entries--;
        insert_block(std::move(holder));
        break;
    }
    default: {
        bool typed = insert_text(e);
        release(e);
        n_entries--;
        if (!typed) return; // an empty string: the buffer stays as it was
        break;
    }
    }
    buffer_changed();
}

void cmd_put() {
    const undelete_entry &e = top_entry();
    switch (e.kind) {
    case UNDEL_LINE: insert_line(copy_deep(e.item.line).release()); break;
    case UNDEL_BLOCK: insert_block(copy_deep(e.item.line)); break;
    default:
        if (!insert_text(e)) return; // an empty string: the buffer stays as it was
        break;
    }
    buffer_changed();
}

void cmd_sqeeze() {
    undel_release_all();
    prompt("memory squeezed, deleted lines lost");
}
