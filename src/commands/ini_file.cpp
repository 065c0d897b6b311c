#include "commands/ini_file.h"

#include "commands/executor.h"
#include "display/keyboard.h"
#include "display/prompt.h"
#include "host/files.h"
#include "host/mdep.h"
#include "text/scan.h"

#include <cstdio>
#include <cstring>
#include <memory>

const default_binding default_bindings[N_DEFAULT_BINDINGS] = {
    {"^A", "word_left"},
    {"^C", "page_down"},
    {"^D", "character_right"},
    {"^E", "line_up"},
    {"^F", "word_right"},
    {"^G", "character_delete_right"},
    {"^H", "character_delete_left"},
    {"^I", "character_tab"},
    {"^L", "other_redraw"},
    {"^M", "line_split"},
    {"^N", "character_delete_eol"},
    {"^O", "block_mark_1"},
    {"^P", "block_mark_2"},
    {"^R", "page_up"},
    {"^S", "character_left"},
    {"^T", "other_put"},
    {"^U", "other_undelete"},
    {"^V", "setup_insert"},
    {"^W", "page_scroll_down"},
    {"^Y", "line_delete"},
    {"^X", "line_down"},
    {"^Z", "page_scroll_up"},
    {"^K", "other_exit yes"},
};

void apply_default_bindings() {
    for (const default_binding &d : default_bindings) {
        char text[LINE_BUF_SIZE];
        char *p = print_str(text, "key_bind \"");
        p = print_str(p, d.key);
        p = print_str(p, "\" \"");
        p = print_str(p, d.action);
        p = print_str(p, "\"");
        *p = '\0';
        exec_commands(text);
    }
}

// Shows the message about the file on the prompt line, the name cut so that
// the tail shows whole, and waits for a key.
static void tell_and_wait(const char *text, const char *name, const char *tail) {
    file_prompt(text, name, tail);
    th_key_read();
}

// Reads one line into buf (LINE_BUF_SIZE bytes): 1, or 0 at the end of the
// stream with nothing read. *too_long tells that the line held more than
// LINE_MAX_TEXT bytes; a NUL byte ends its text.
static int read_line(FILE *fp, char *buf, bool *too_long) {
    int c, n = 0;
    bool any = false, cut = false;
    *too_long = false;
    // The file is read by this loop alone: no other thread shares its lock.
    while ((c = getc_unlocked(fp)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (c == '\0') cut = true;
        if (cut) continue;
        if (n < LINE_MAX_TEXT)
            buf[n++] = static_cast<char>(c);
        else
            *too_long = true;
    }
    buf[n] = '\0';
    return any;
}

// The file read last, for the help command: "" when it could not be opened.
static char read_name[LINE_BUF_SIZE];

const char *ini_file_name() {
    return read_name;
}

struct file_closer {
    void operator()(FILE *fp) const { std::fclose(fp); }
};

void read_ini_file(const char *name) {
    read_name[0] = '\0';
    std::unique_ptr<FILE, file_closer> fp(fopen_file(name, "r"));
    if (fp == nullptr || get_filemode(name) < 0) {
        tell_and_wait("cannot open file ", name, ", using defaults, ^K=exit, press a key ... ");
        apply_default_bindings();
        return;
    }
    std::snprintf(read_name, sizeof read_name, "%s", name);
    bool reading = true;
    char line[LINE_BUF_SIZE];
    bool too_long;
    for (int line_no = 1; read_line(fp.get(), line, &too_long); line_no++) {
        const char *p = skip_space(line);
        unhog();
        if (*p == ';') continue;
        if (*p == '$') {
            reading = std::strpbrk(p + 1, "*U") != nullptr;
            continue;
        }
        if (reading && (too_long || !exec_commands(p))) {
            char tail[64];
            std::snprintf(tail, sizeof tail, " at line %d, press a key ... ", line_no);
            tell_and_wait("error in file ", name, tail);
        }
    }
}
