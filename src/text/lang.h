// Languages: named sets of defaults for the files they apply to.
//
// A language carries the reserved comment start and end that wrap the fold
// markers in its files, an extended regular expression that picks it for a
// file by name, the word separators and the flags word its buffers start
// with. Languages live in the table `langs` in order of creation; removing
// one closes the gap. Ids come from a counter that starts at 0 and are never
// reused. Failures are results; nothing here prints.
#pragma once

#include "text/scan.h"

struct syntax_rules;

inline constexpr int MAX_LANGS = 40;

struct language_def {
    int id;                         // unique, never reused
    unsigned flags;                 // flags word given to new buffers (text/flags.h)
    char separators[LINE_BUF_SIZE]; // bytes that end a word besides white space
    char name[LINE_BUF_SIZE];       // shown and looked up; may repeat
    // Fixed once made: kept at their lengths after the record, in the same
    // block (the shipped languages then take a few pages, not twenty).
    const char *rc_start; // opens every fold marker line in files
    const char *rc_end;   // written at the end of every fold marker line
    const char *match;    // must match the whole file name; "" never matches
    syntax_rules *syntax; // rules of syntax colour (text/syntax.h); null for none
};

extern language_def *langs[MAX_LANGS]; // slots 0 to n_langs - 1, oldest first
extern int n_langs;

// A new language in slot n_langs, with copies of the strings, the next id and
// no syntax rules; null when MAX_LANGS exist, when a string is longer than
// LINE_MAX_TEXT bytes or when memory runs out. A name that exists already is accepted: the newer
// language then shadows the older in lookups by name.
language_def *lang_create(const char *name, const char *rc_start, const char *rc_end,
                          const char *match, const char *separators, unsigned flags);

// Removes the language and frees it with its rules, closing the gap in the
// table: 1; or 0 when a buffer in the buffer table uses it or it is not in
// the table.
int lang_delete(language_def *lang);

// The language with that id, or with exactly that name, or null. Both search
// from the newest to the oldest.
language_def *lookup_lang_id(int id);
language_def *lookup_lang_text(const char *name);

// The language for a file, or null: of the languages with a match expression,
// from the newest to the oldest, the first whose expression matches the whole
// match form (get_match_fn) of the file's host name (get_os_fn). A name that
// is not a valid host name has no language; an expression that does not
// compile never matches.
language_def *guess_lang_of(const char *file_name);

// The language a file is edited in: guess_lang_of's, else the newest language
// named "top"; null when there is neither.
language_def *lang_for_file(const char *file_name);
