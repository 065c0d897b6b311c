#include "text/buffer.h"

#include "host/filename.h"
#include "host/notice.h"

#include <cstdlib>
#include <cstring>

text_buffer *buffs[MAX_BUFFS];
int n_buffs;
text_buffer *cur_buffer;

namespace {

int next_buff_id;
void (*buff_notice)(text_buffer *, int);

} // namespace

void data_init() {
    for (language_def *&l : langs) l = nullptr;
    for (text_buffer *&b : buffs) b = nullptr;
    n_langs = 0;
    n_buffs = 0;
    cur_buffer = nullptr;
}

void data_deinit() {}

void buff_set_notice(void (*notice)(text_buffer *b, int event)) {
    register_notice(buff_notice, notice);
}

void buff_notify(text_buffer *b, int event) {
    if (buff_notice) buff_notice(b, event);
}

text_buffer *buff_create(const char *fn, int parent, language_def *lang) {
    if (strlen(fn) > LINE_MAX_TEXT) return nullptr;
    int slot = 0;
    while (slot < MAX_BUFFS && buffs[slot]) slot++;
    if (slot == MAX_BUFFS) return nullptr;
    auto *b = static_cast<text_buffer *>(malloc(sizeof(text_buffer)));
    if (!b) return nullptr;
    b->top = fold_create("", 0, 0);
    if (!b->top) {
        free(b);
        return nullptr;
    }
    b->fold = b->top;
    b->id = next_buff_id++;
    b->parent = parent;
    b->changed = 0;
    strcpy(b->fn, fn);
    b->lang = lang;
    b->line_no = 0;
    b->flags = lang->flags;
    b->read_loss = 0;
    b->crlf = 0;
    b->written_by_other = 0;
    buffs[slot] = b;
    n_buffs++;
    return b;
}

int buff_delete(text_buffer *b) {
    if (!b || b == cur_buffer) return 0;
    int slot = 0;
    while (slot < MAX_BUFFS && buffs[slot] != b) slot++;
    if (slot == MAX_BUFFS) return 0;
    buff_notify(b, BUFF_FREED);
    buffs[slot] = nullptr;
    n_buffs--;
    for (text_buffer *child : buffs) {
        if (child && child->parent == b->id) child->parent = -1;
    }
    f_delete_deep(b->top);
    free(b);
    return 1;
}

text_buffer *lookup_buff_id(int id) {
    for (text_buffer *b : buffs) {
        if (b && b->id == id) return b;
    }
    return nullptr;
}

text_buffer *lookup_buff_text(const char *fn) {
    for (text_buffer *b : buffs) {
        if (b && cmp_os_fn(b->fn, fn) == 0) return b;
    }
    return nullptr;
}
