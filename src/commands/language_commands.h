// The language commands: making, deleting, choosing and renaming languages
// (text/lang.h). A language argument arrives already looked up: "." for the
// current buffer's language or a language's name, the newest of that name.
#pragma once

// language_create (name, reserved comment start, reserved comment end, match,
// white space visible, autoindent, insert mode, tab size, word separators):
// a new language whose buffers start with those settings (the tab size's low
// 8 bits, 0 for real tabs). A name may repeat: the new language then hides
// the older one from lookups by name. "out of memory" when 40 exist.
void cmd_lg_create();

// language_delete (language): removes it; "can't delete language if in use"
// while a buffer has it.
void cmd_lg_delete();

// language_select (language): the current buffer takes the language and its
// settings, undoing any setup command's changes.
void cmd_lg_select();

// language_rename (language, name): the language's name becomes the text.
void cmd_lg_rename();
