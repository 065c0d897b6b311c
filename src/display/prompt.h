// The prompt line: row 2 of the screen, with the editor's messages and every
// question it asks.
//
// Everything here is drawn in the status colour, unscrolled, and answered
// with the keyboard alone: Return accepts, Escape abandons. Each question
// returns 1 with the answer stored, or 0 when Escape was pressed (callers
// turn that into "aborted"); none fails otherwise. Afterwards the prompt line
// is blank and the cursor is back where the last refresh left it in the text
// (display/text_cursor.h).
//
// Text is shown in its display forms (display/char_names.h), except that
// spaces and tabs always show blank; in UTF-8 mode a character typed as a
// UTF-8 sequence (K_CHAR) is taken whole and a paste (K_PASTE) is typed into
// prompt_str up to its first line end.
//
// Implemented in prompt.cpp (messages, single keys, numbers, yes/no),
// prompt_edit.cpp (prompt_str) and prompt_choice.cpp (prompt_opt).
#pragma once

// One choice of prompt_opt. The caller fills name and value; prompt_opt
// fills start and length: where the name starts in the row of choices (one
// blank between names) and its length. An empty name is replaced by " ".
struct prompt_option {
    const char *name;
    int value;
    int start;
    int length;
};

// "yes" (value 1) then "no" (value 0), for prompt_yn and any command that
// asks the same question through prompt_opt.
extern prompt_option yes_no_opts[2];

// Shows a message from column 0 of the prompt line, clipped to x_size - 1
// cells; the rest of the line is cleared. An empty text blanks the line if a
// message or question is on it and otherwise leaves it alone. Either way the
// text cursor is put back and the terminal brought up to date. The message
// stays until something else is shown on the line.
void prompt(const char *text);

// prompt("").
void prompt_blank();

// Shows again what the line showed, after the whole screen was drawn afresh
// (a new size): a message, or the question being asked with what was typed
// and the cursor where it was. Otherwise the cursor goes back to the text.
void prompt_redraw();

// A message of the text followed by as much of the file name as fits on the
// line before the tail, and the tail.
void file_prompt(const char *text, const char *file_name, const char *tail = "");

// Shows the question and waits for a key below 256 (Return and control
// characters included; other keys are ignored): 1 with the byte stored, 0 on
// Escape.
int prompt_char(const char *question, unsigned char *byte);

// Shows the question and takes the first key of any kind: 1 with its code
// stored, 0 on Escape (with 27 stored).
int prompt_key(const char *question, int *key);

// Asks for a line of text, edited after the question: 1 with the text stored,
// NUL-terminated, in buffer (at least 501 bytes), or 0 with "" stored on
// Escape. At most 500 characters are taken; the view scrolls sideways when the
// text reaches the right margin.
//
// Backspace, DEL and Left step back over a character (it stays stored, and
// Right takes it again as if retyped); any other key below 256 but NUL, and a
// UTF-8 character (all its bytes, if they fit), is stored at the cursor,
// overwriting; a paste is typed up to its first line end; other keys are
// ignored. Return takes the characters before the cursor.
int prompt_str(const char *question, char *buffer);

// Asks for a number: 1 with the number read from the text, or 0 on Escape.
// "&" and hexadecimal digits (either case), else decimal digits; reading
// stops at the first other character and no digit at all gives 0.
int prompt_num(const char *question, int *number);

// Asks for one of count options, shown side by side after the question with
// options[first] highlighted: 1 with the chosen record stored, 0 on Escape.
// The question is cut so as to leave the options 10 cells, or all they take
// when that is less.
// Right or Tab and Left move to the next or previous option, Up and Down to
// the first or last, a printable character to the next option whose name
// begins with it (cycling round); Return takes the highlighted one. The row
// of options scrolls to keep the highlighted one in view. With no options
// nothing is asked and 0 is returned.
int prompt_opt(const char *question, prompt_option **chosen, prompt_option *options, int count,
               int first);

// prompt_opt over yes_no_opts with "yes" highlighted first: 1 with the
// flag set to 1 for "yes" or 0 for "no", 0 on Escape.
int prompt_yn(const char *question, int *flag);
