// Reading one command argument of any type, for the argument tests and for
// commands_driver, which asks for arguments through a real terminal.
#pragma once

#include "commands/arguments.h"
#include "commands/errors.h"

#include <string>

// Reads an argument of the type (n number, s string, c character, b buffer,
// l language, y yes/no, w when) from the text, asking "question: " for a "?":
// "<value>|<the rest of the text>", or "!" and the message of the error. A
// character shows as its code, a buffer as its file name, a language as its
// name.
inline std::string read_argument(char type, const char *text) {
    const char *q = "question: ";
    const char *rest = text;
    int n = 0;
    unsigned char c = 0;
    char s[LINE_BUF_SIZE] = "";
    text_buffer *b = nullptr;
    language_def *l = nullptr;
    int ok = run_with_recovery([&] {
        switch (type) {
        case 'n': rest = get_num(text, &n, q); break;
        case 's': rest = get_str(text, s, q); break;
        case 'c': rest = get_char(text, &c, q); break;
        case 'b': rest = get_buff(text, &b, q); break;
        case 'l': rest = get_lang(text, &l, q); break;
        case 'y': rest = get_yn(text, &n, q); break;
        default: rest = get_when(text, &n, q); break;
        }
    });
    if (!ok) return "!" + std::string(last_error());
    std::string value = type == 's'   ? s
                        : type == 'b' ? b->fn
                        : type == 'l' ? l->name
                        : type == 'c' ? std::to_string(c)
                                      : std::to_string(n);
    return value + "|" + rest;
}
