// The line commands: making, deleting, yanking, splitting and translating
// lines, moving the cursor by lines, going to a line by its number and running
// a line as commands.
//
// All work on the current fold of the current buffer, where fold lines, open
// or closed, count as one line each; only line_goto goes through folds. Every
// change marks the changed line (it is drawn again) and the buffer (it differs
// from its file); every move keeps the buffer's line number on the current
// line. Errors leave the text as it was.
#pragma once

// line_insert (text): a new text line before the current line becomes the
// current line, with the cursor at its end; on the end line it is appended to
// the list. "out of memory" when it cannot be made.
void cmd_l_insert();
// line_insert... (name, open, indent): the same with a new empty fold line.
void cmd_l_insert_f();
// line_insert::: (name, open, indent): the same with a virtual fold line; the
// name is taken as the file name in its quoted form, as the line shows it.
void cmd_l_insert_v();

// line_delete: the current line (with all it holds) goes to the undelete
// stack; the next line becomes current, the cursor at its start. Nothing on
// the end line.
void cmd_l_del();
// line_yank: a copy of the current line, with all it holds, goes to the
// undelete stack; a fold of more than 500 lines shows a message while it is
// copied. Nothing on the end line. "out of memory" when it cannot be copied.
void cmd_l_yank();

// line_up, line_down: the previous or next line of the list, the cursor
// nearest the remembered column and the cursor row by keep_row_top or
// keep_row_bottom. Nothing at all on the first line or the end line.
void cmd_l_up();
void cmd_l_down();
// line_start: the cursor to the start of the line. line_end: to its end,
// where later vertical moves keep it.
void cmd_l_start();
void cmd_l_end();

// line_goto (n): to line n of the buffer counted from 1 as its file holds the
// lines, through folds (goto_line); 0 or a number beyond the last line goes to
// the end line of the top list. The cursor goes to the start of the line.
void cmd_l_goto();

// line_split: the text from the cursor on goes to a new text line after the
// current line, which becomes current; with autoindent a text line's leading
// blanks before the cursor start the new line too, and the cursor stands after
// them. On a fold or virtual fold line the name is cut and the rest goes to
// the new text line; in a fold line's indentation nothing happens. On the end
// line an empty text line is added before it and the cursor stays on the end
// line. The cursor row moves down one row within its limits. "out of memory"
// when a line or the shortened string cannot be made.
void cmd_l_split();

// line_trans (from, to): translates the bytes of the current line's text or
// name (commands/translate.h). Both strings are checked first; nothing
// happens on the end line.
void cmd_l_trans();

// line_exec: runs the current text line as a command text. An error in it is
// shown and ends that run only; line_exec itself ends normally. "expected text
// line" on any other line.
void cmd_l_exec();
