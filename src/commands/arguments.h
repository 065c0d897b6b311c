// Command arguments: reading them from a command text, or asking for them.
//
// Each argument reader takes the position of the argument in a command text,
// where to store the value and the question to ask, and returns the position
// right after what it consumed. A "?" in place of an argument asks for it on
// the prompt line with that question; Escape there raises "aborted". The
// written forms:
//
//   number     decimal digits, or "&" and hexadecimal digits ("&" alone is 0);
//              reading stops at the first other character   else "bad number"
//   string     "text": a backslash takes the next character literally
//                                                            else "bad string"
//   buffer     "." for the current buffer, or a quoted host file name
//                                            "bad string", else "bad buffer"
//   language   "." for the current buffer's language, or a quoted name
//                                          "bad string", else "bad language"
//   character  'c' (any character, so ''' is a quote), or a number whose low
//              8 bits are taken                           else "bad character"
//   yes/no     the word yes or no, up to white space   else "bad yes/no flag"
//   when       never, if_open or always          else "bad search criterion"
//
// The text a reader is given lies within a command text of at most
// LINE_MAX_TEXT bytes, as exec_commands guarantees.
#pragma once

#include "commands/command_table.h"
#include "display/prompt.h"
#include "text/buffer.h"
#include "text/lang.h"
#include "text/scan.h"

union arg_value {
    int num;            // number, yes/no (1 or 0), when (WHEN_ values)
    char *str;          // string: one of arg_strs
    text_buffer *buff;  // buffer
    language_def *lang; // language
    unsigned char chr;  // character
};

// Filled by exec_command before it calls a handler, in argument order, and
// overwritten by the next command: a handler that keeps a string copies it.
extern arg_value arg_val[MAX_ARGS];
// The k-th string argument of a command is read into the k-th buffer.
extern char arg_strs[MAX_ARGS][LINE_BUF_SIZE];

// Values of a when argument.
enum { WHEN_NEVER = 0, WHEN_IF_OPEN = 1, WHEN_ALWAYS = 2 };

// "never", "if_open", "always" with their values; yes/no words are the prompt
// line's yes_no_opts. The same tables serve typed words and prompted choices.
extern prompt_option when_opts[3];

// The value of the first option whose name equals the word exactly, or -1.
int lookup_opt(const char *word, const prompt_option *options, int count);

const char *get_num(const char *p, int *value, const char *question);
const char *get_str(const char *p, char *value, const char *question); // LINE_BUF_SIZE bytes
const char *get_char(const char *p, unsigned char *value, const char *question);
const char *get_buff(const char *p, text_buffer **value, const char *question);
const char *get_lang(const char *p, language_def **value, const char *question);
const char *get_yn(const char *p, int *value, const char *question);
const char *get_when(const char *p, int *value, const char *question);
