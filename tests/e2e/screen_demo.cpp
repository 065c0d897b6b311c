// screen_demo: brings the layers up as the editor does, loads a file into a
// buffer, draws it, and then reads keys, so that drawing, updating and the
// prompt line can be tested through a real terminal. Test scaffolding, never
// installed.
//
//     screen_demo [-c colour-mode] [-f flags-word] file
//
// Every key is acted on and the screen brought up to date; then, unless the
// key showed a message of its own, it is shown on the prompt line as
// "key <code> 0x<hex> <name>" (or "no name"). So once a key's message is on
// the screen, everything it drew is too.
//
//   Up, Down        previous or next line, the cursor row kept within rows
//                   4 to y_size - 2 as the line commands keep it
//   PgUp, PgDn      four lines up or down, the cursor row unchanged
//   F10             three lines down, the cursor row unchanged
//   Left, Right     one character left or right; Home, End: start, end
//   ^E, ^L          enter the fold line under the cursor, leave the fold
//   ^O              open or close the fold or virtual fold line
//   ^W              white space visible or hidden
//   ^A, ^B, ^U      mark 1, mark 2 on the current line; unmark both
//   ^T              tag or untag the current line
//   ^D, ^N          delete the current line; a new empty line before it
//   Tab, 32-126     typed into a text line at the cursor
//   F9              insert or overtype mode
//   ^R              refresh_all
//   F1 ... F8       prompt_str, prompt_num, prompt_opt (three options),
//                   prompt_opt (twelve long options), prompt_yn, prompt_char,
//                   prompt_key, file_prompt; the answer is shown after
//   ^Y              "sync <n>", n counting the ^Y keys from 1: once it is on
//                   the screen, so is everything the keys before it drew
//   F12             "drawn <rows> ins <rows> del <rows>": text rows drawn and
//                   rows inserted and deleted since the last F12 (or since
//                   the first drawing)
//   ^Q              quit
//
// -c  colour mode handed to th_init (default 0)
// -f  the buffer's flags word (default 0x300: autoindent, insert, real tabs)
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/keyboard.h"
#include "display/keys.h"
#include "display/prompt.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "host/mdep.h"
#include "text/buff_file.h"
#include "text/buffer.h"
#include "text/flags.h"

namespace {

constexpr int ctrl(char c) {
    return c - 64;
}

FOLD *fold() {
    return cur_buffer->fold;
}

void show(const std::string &text) {
    prompt(text.c_str());
}

std::string describe(int key) {
    int i = lookup_key_code(key);
    char text[80];
    std::snprintf(text, sizeof text, "key %d 0x%x %s", key, key,
                  i < 0 ? "no name" : key_tab[i].name);
    return text;
}

void set_into(int into) {
    fold()->into = into;
    fold()->col = cur_csr_col();
}

// The cursor row rules of the line commands.
void keep_row_top() {
    int row = locate_line(fold()->cur);
    fold()->row = row >= 4 ? row : 4;
}

void keep_row_bottom() {
    int row = locate_line(fold()->cur);
    fold()->row = row >= 0 && row <= y_size - 2 ? row : y_size - 2;
}

void line_up() {
    if (fold()->cur->prev == nullptr) return;
    cur_buffer->line_no += line_step_prev(fold());
    fold()->into = new_into_value(fold()->col);
    keep_row_top();
}

void line_down() {
    if (fold()->cur == fold()->end) return;
    cur_buffer->line_no += line_step_next(fold());
    fold()->into = new_into_value(fold()->col);
    keep_row_bottom();
}

// n lines down (n < 0: up) with the cursor row unchanged.
void move_lines(int n) {
    int to = fold()->cur_index + n;
    if (to < 0 || to >= fold()->line_count) return;
    cur_buffer->line_no += line_step_to(fold(), to);
    fold()->into = new_into_value(fold()->col);
}

void enter_fold() {
    LINE *l = fold()->cur;
    if (line_kind(l) != LINE_FOLD) return;
    FOLD *g = line_fold(l);
    line_step_first(g);
    cur_buffer->fold = g;
    cur_buffer->line_no += 1;
    set_into(0);
    g->row = y_size / 2;
    line_set_changed(g->end);
}

void leave_fold() {
    FOLD *f = fold();
    if (f->parent == nullptr) return;
    cur_buffer->line_no += line_step_first(f) - 1;
    line_set_changed(f->end);
    cur_buffer->fold = f->parent;
}

void toggle_open() {
    LINE *l = fold()->cur;
    if (line_kind(l) == LINE_FOLD)
        line_fold(l)->open ^= 1;
    else if (line_kind(l) == LINE_VIRT)
        line_virt(l)->open ^= 1;
    else
        return;
    line_set_changed(l);
}

void type_byte(int byte) {
    LINE *l = fold()->cur;
    if (line_kind(l) == LINE_END) {
        line_insert(line_create_text(""), fold());
        l = fold()->cur;
        set_into(0);
    }
    if (line_kind(l) != LINE_TEXT) {
        th_beep();
        return;
    }
    std::string text = line_text(l);
    size_t at = static_cast<size_t>(fold()->into);
    if (text.size() >= LINE_MAX_TEXT || at > text.size()) return;
    text.insert(at, 1, static_cast<char>(byte));
    line_set_text(l, text.c_str());
    line_set_changed(l);
    set_into(fold()->into + 1);
}

std::string quoted(const char *text) {
    return std::string("\"") + text + "\"";
}

void ask(int key) {
    static OPTION choices[] = {{"never", 0, 0, 0}, {"if_open", 1, 0, 0}, {"always", 2, 0, 0}};
    static OPTION many[12];
    static char names[12][32];
    char text[LINE_BUF_SIZE];
    int n = 0;
    int ok = 0;
    OPTION *chosen = nullptr;
    unsigned char byte = 0;
    switch (key) {
    case K_F1:
        ok = prompt_str("string: ", text);
        show("string " + std::to_string(ok) + " length " + std::to_string(std::strlen(text)) + " " +
             quoted(text));
        break;
    case K_F2:
        ok = prompt_num("number: ", &n);
        show("number " + std::to_string(ok) + " " + std::to_string(n));
        break;
    case K_F3:
        ok = prompt_opt("when: ", &chosen, choices, 3, 0);
        show("option " + std::to_string(ok) + " " + (ok ? chosen->name : "none"));
        break;
    case K_F4:
        for (int i = 0; i < 12; i++) {
            std::snprintf(names[i], sizeof names[i], "%c_option_number_%d", 'a' + i, i);
            many[i] = {names[i], i, 0, 0};
        }
        ok = prompt_opt("pick one of many: ", &chosen, many, 12, 0);
        show("option " + std::to_string(ok) + " " + (ok ? chosen->name : "none"));
        break;
    case K_F5:
        ok = prompt_yn("sure? ", &n);
        show("yes/no " + std::to_string(ok) + " " + std::to_string(n));
        break;
    case K_F6:
        ok = prompt_char("char: ", &byte);
        show("char " + std::to_string(ok) + " " + std::to_string(byte));
        break;
    case K_F7:
        ok = prompt_key("key: ", &n);
        show("key " + std::to_string(ok) + " " + describe(n));
        break;
    }
}

void show_counters() {
    char text[120];
    std::snprintf(text, sizeof text, "drawn %ld ins %ld del %ld", scn_rows_drawn,
                  th_stats.inserted_rows, th_stats.deleted_rows);
    show(text);
    scn_rows_drawn = 0;
    th_stats = {};
}

enum outcome { SHOW_KEY, SHOWN, QUIT };

// Acts on a key.
outcome act(int key, const char *file) {
    FOLD *f = fold();
    switch (key) {
    case ctrl('Q'): return QUIT;
    case K_UP: line_up(); break;
    case K_DOWN: line_down(); break;
    case K_PGUP: move_lines(-4); break;
    case K_PGDN: move_lines(4); break;
    case K_F10: move_lines(3); break;
    case K_LEFT:
        if (f->into > 0) set_into(f->into - 1);
        break;
    case K_RIGHT:
        if (f->into < max_into_value()) set_into(f->into + 1);
        break;
    case K_HOME: set_into(0); break;
    case K_END:
        f->into = max_into_value();
        f->col = -1;
        break;
    case ctrl('E'): enter_fold(); break;
    case ctrl('L'): leave_fold(); break;
    case ctrl('O'): toggle_open(); break;
    case ctrl('W'): cur_buffer->flags ^= FLAG_VISIBLE; break;
    case ctrl('A'): f->mark1 = f->cur_index; break;
    case ctrl('B'): f->mark2 = f->cur_index; break;
    case ctrl('U'): f->mark1 = f->mark2 = -1; break;
    case ctrl('T'): line_toggle_tag(f->cur); break;
    case ctrl('D'):
        if (f->cur != f->end) {
            line_delete_deep(line_remove(f));
            set_into(0);
        }
        break;
    case ctrl('N'):
        line_insert(line_create_text(""), f);
        set_into(0);
        break;
    case ctrl('R'): refresh_all(); break;
    case K_F9: cur_buffer->flags ^= FLAG_INSERT; break;
    case K_F1:
    case K_F2:
    case K_F3:
    case K_F4:
    case K_F5:
    case K_F6:
    case K_F7: ask(key); return SHOWN;
    case K_F8: file_prompt("reading ", file); return SHOWN;
    case K_F12: show_counters(); return SHOWN;
    case ctrl('Y'): {
        static int syncs;
        show("sync " + std::to_string(++syncs));
        return SHOWN;
    }
    default:
        if (key == K_TAB || (key >= ' ' && key <= '~')) type_byte(key);
    }
    return SHOW_KEY;
}

} // namespace

int main(int argc, char **argv) {
    int colour_mode = 0;
    unsigned flags = FLAG_AUTOINDENT | FLAG_INSERT;
    for (int opt; (opt = getopt(argc, argv, "c:f:")) != -1;) {
        switch (opt) {
        case 'c': colour_mode = std::atoi(optarg); break;
        case 'f': flags = static_cast<unsigned>(std::strtoul(optarg, nullptr, 0)); break;
        default: return 2;
        }
    }
    if (optind + 1 != argc) {
        std::fprintf(stderr, "usage: screen_demo [-c colour-mode] [-f flags-word] file\n");
        return 2;
    }
    const char *file = argv[optind];
    mdep_init();
    if (!th_init(colour_mode, 0, 0)) {
        std::fprintf(stderr, "screen_demo: unable to initialise screen\n");
        return 2;
    }
    if (x_size < 40 || x_size > 200 || y_size < 10 || y_size > 150) {
        th_deinit();
        std::fprintf(stderr, "screen_demo: bad screen size\n");
        return 2;
    }
    scn_init();
    data_init();
    LANG *top = lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    BUFF *b = top ? buff_create(file, -1, top) : nullptr;
    int read = b ? buff_read(b, file) : 0;
    if (b) b->flags = flags;
    cur_buffer = b;
    refresh_all();
    if (!read) {
        th_deinit();
        std::fprintf(stderr, "screen_demo: cannot read %s\n", file);
        return 2;
    }
    scn_rows_drawn = 0;
    th_stats = {};
    show("screen_demo " + std::to_string(x_size) + "x" + std::to_string(y_size));
    for (;;) {
        int key = th_key_read();
        outcome done = act(key, file);
        if (done == QUIT) break;
        refresh();
        if (done == SHOW_KEY) show(describe(key));
    }
    th_deinit();
    cur_buffer = nullptr;
    buff_delete(b);
    lang_delete(top);
    scn_deinit();
    mdep_deinit();
    return 0;
}
