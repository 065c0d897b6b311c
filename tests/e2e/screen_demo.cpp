// screen_demo: brings the layers up as the editor does (the host layer
// aside), loads a file into a buffer, draws it and then reads keys, so that
// key decoding, drawing and the prompt line can be tested through a real
// terminal. Test scaffolding, never installed.
//
//     screen_demo [-c colour-mode] [-f flags-word] file
//
// Every key is acted on and the screen brought up to date; then, unless the
// key showed a message of its own, it is added to the key log on the prompt
// line: "keys", then for each key its code and its name if it has one ("258
// Up", "97"), and " SIGINT" when an interrupt arrived before it was read. So
// once a key is in the log, everything it drew is on the screen too.
//
//   Down            the next line, the cursor row kept at most y_size - 2
//                   as the line commands keep it
//   Home, End       the start or the end of the line
//   ^W              white space visible or hidden
//   ^A, ^B, ^T      mark 1, mark 2, tag or untag the current line
//   F1 ... F4       prompt_str, prompt_num, prompt_opt ("never", "if_open",
//                   "always": 0, 1, 2, -1 for none), prompt_yn; then the
//                   outcome and the answer are shown: "number 1 12", for a
//                   string its length and itself, "string 1 2 "ab""
//   F12             gives the terminal back, writes "outside" on it as an
//                   outside command would, and takes it back
//   ^Y              "sync <n>", n counting the ^Y keys from 1, and a new log
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
#include "display/screen_restart.h"
#include "display/terminal.h"
#include "text/buff_file.h"
#include "text/buffer.h"
#include "text/flags.h"

namespace {

std::string describe(int key) {
    int i = lookup_key_code(key);
    return std::to_string(key) + (i < 0 ? "" : std::string(" ") + key_tab[i].name);
}

// A step down, the cursor row kept as the line commands keep it.
void line_down() {
    tree_fold *f = cur_buffer->fold;
    if (f->cur == f->end) return;
    cur_buffer->line_no += line_step_next(f);
    f->into = new_into_value(f->col);
    int row = locate_line(f->cur);
    f->row = row >= 0 && row <= y_size - 2 ? row : y_size - 2;
}

// Asks the question of a function key and shows the answer.
void ask(int key) {
    static prompt_option choices[] = {
        {"never", 0, 0, 0}, {"if_open", 1, 0, 0}, {"always", 2, 0, 0}};
    char text[LINE_BUF_SIZE] = "";
    int n = 0;
    prompt_option *chosen = nullptr;
    std::string answer, quoted;
    if (key == K_F1) {
        answer = "string " + std::to_string(prompt_str("string: ", text));
        n = static_cast<int>(std::strlen(text));
        quoted = std::string(" \"") + text + "\"";
    } else if (key == K_F2) {
        answer = "number " + std::to_string(prompt_num("number: ", &n));
    } else if (key == K_F3) {
        answer = "option " + std::to_string(prompt_opt("when: ", &chosen, choices, 3, 0));
        n = chosen ? chosen->value : -1;
    } else {
        answer = "yes/no " + std::to_string(prompt_yn("sure? ", &n));
    }
    prompt((answer + " " + std::to_string(n) + quoted).c_str());
}

// Acts on a key; true when it showed a message of its own.
bool act(int key) {
    static int syncs;
    tree_fold *f = cur_buffer->fold;
    switch (key) { // a control key is its letter's code less 64
    case K_DOWN: line_down(); break;
    case K_HOME: f->into = f->col = 0; break;
    case K_END:
        f->into = max_into_value();
        f->col = -1;
        break;
    case 'W' - 64: cur_buffer->flags ^= FLAG_VISIBLE; break;
    case 'A' - 64: f->mark1 = f->cur_index; break;
    case 'B' - 64: f->mark2 = f->cur_index; break;
    case 'T' - 64: line_toggle_tag(f->cur); break;
    case K_F12:
        screen_leave();
        std::fputs("outside\n", stdout);
        std::fflush(stdout);
        screen_reinit();
        refresh_all();
        break;
    case 'Y' - 64: prompt(("sync " + std::to_string(++syncs)).c_str()); return true;
    default:
        if (key < K_F1 || key > K_F4) return false;
        ask(key);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv) {
    int colour_mode = 0;
    unsigned flags = FLAG_AUTOINDENT | FLAG_INSERT;
    for (int opt; (opt = getopt(argc, argv, "c:f:")) != -1;) {
        if (opt == 'c') colour_mode = std::atoi(optarg);
        if (opt == 'f') flags = static_cast<unsigned>(std::strtoul(optarg, nullptr, 0));
    }
    const char *file = argv[argc - 1];
    if (!th_init(colour_mode, 0, 0)) return 2;
    scn_init();
    data_init();
    language_def *top = lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    text_buffer *b = buff_create(file, -1, top);
    bool read = b != nullptr && buff_read(b, file);
    if (read) {
        b->flags = flags;
        cur_buffer = b;
        refresh_all();
        prompt(("screen_demo " + std::to_string(x_size) + "x" + std::to_string(y_size)).c_str());
    }
    std::string log = "keys";
    for (int key; read && (key = th_key_read()) != 'Q' - 64;) {
        log += " " + describe(key) + (th_key_break() ? " SIGINT" : "");
        bool shown = act(key);
        refresh();
        if (!shown) prompt(log.c_str());
        log = shown ? "keys" : log;
    }
    th_deinit();
    cur_buffer = nullptr;
    buff_delete(b);
    lang_delete(top);
    scn_deinit();
    return read ? 0 : 2;
}
