#include "commands/vfold.h"

#include <cstring>

#include "commands/buffer_file.h"
#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/same_file.h"
#include "commands/write_back.h"
#include "display/prompt.h"
#include "host/filename.h"
#include "text/buff_file.h"
#include "text/fold_file.h"
#include "text/vfold_name.h"

void vfold_name(const char *quoted, char *out) {
    char word[LINE_BUF_SIZE];
    dequote_vfold_fn(quoted, word);
    expand_fn(word, out);
}

void vfold_file(const tree_line *v, char *out) {
    char containing[LINE_BUF_SIZE];
    std::strcpy(containing, cur_buffer->fn);
    char name[LINE_BUF_SIZE];
    vfold_name(line_virt(v)->name, name);
    // An empty name names no file (and would find the first buffer, which
    // holds none, as if it held this one).
    const char *nested = get_nest_fn(containing, name);
    if (!nested || !nested[0]) error_file(ERR_BAD_FILENAME, name);
    std::strcpy(out, nested);
}

void vfold_open(const tree_line *v) {
    char fn[LINE_BUF_SIZE];
    vfold_file(v, fn);
    text_buffer *child = buffer_for_file(fn, cur_buffer->id);
    cur_buffer = child;
    read_buffer_file(child);
}

int vfold_enter(const tree_line *v) {
    char fn[LINE_BUF_SIZE];
    vfold_file(v, fn);
    text_buffer *existing = buffer_of_file(fn);
    int yes = 0;
    if (existing && !prompt_yn("already have file in memory, use existing copy: ", &yes))
        error_code(ERR_ABORTED);
    if (!yes) {
        vfold_open(v);
        return 0;
    }
    if (existing != cur_buffer) {
        existing->parent = cur_buffer->id;
        cur_buffer = existing;
    }
    return 1;
}

void vfold_close(int force) {
    text_buffer *child = cur_buffer;
    text_buffer *parent = lookup_buff_id(child->parent);
    if (!parent) error_code(ERR_NO_PARENT);
    if (query_write(child, force)) write_back(child, WB_ASK_READONLY);
    cur_buffer = parent;
    buff_delete(child);
}
