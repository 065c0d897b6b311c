// Outline rules: how the definitions in a language's files are found, so that
// fold_outline can fold each of them (text/outline_find.h).
//
// A rule has a kind and the words that kind takes, an expression that the
// line naming a definition must match, and the comments and strings of the
// language. Inside a comment or a string nothing counts (a brace, a heading,
// a def), and no marker line is ever put inside one, nor after a line that
// goes on to the next (a backslash at its end, an open bracket).
//
// Kinds, as written (words separated by blanks):
//
//   braces [PREFIX...]   a definition is the lines of its head (the lines
//                        above its "{" that belong to the same statement)
//                        through the line that closes the block; lines above
//                        the head beginning with a PREFIX (annotations,
//                        attributes) belong to it without naming it
//   indent [PREFIX...]   a line followed by lines indented deeper is a
//                        definition running to the last of them; lines above
//                        it at its indent beginning with a PREFIX are its
//                        decorators
//   headings PREFIX...   a line beginning with the n-th PREFIX is a heading
//                        of level n, whose section runs to the next heading
//                        of that level or a higher one ("# ## ###"); a PREFIX
//                        ending in a letter or digit must be followed by none,
//                        any other by a blank or the line's end
//
// Comments, one word each:
//
//   //          a comment to the end of the line
//   ^#          a directive: a line beginning with "#" (C's preprocessor),
//               taken as a comment that stands alone
//   _#          a comment to the end of the line that begins at the line's
//               start or after a blank (the shell's "#", not in "$#")
//   /*...*/     a comment from "/*" to "*/", over lines if need be
//
// Strings, one word each, tried in the order given:
//
//   "           a string to the next unescaped '"' on its line
//   """..."""   a string from '"""' to '"""', over lines if need be
//   raw:WORD    either of the two without backslash escapes
//   char:'      a character constant: one character or one backslash
//               escape between quotes; a quote without that is plain text
//   <<          here-documents: "<<WORD" (or <<-, <<~, a quoted WORD), then
//               the lines up to the one that is WORD
//   block:|     a line whose code ends in "|" (with "+", "-" or digits
//               after it) opens a block of the lines below it that are
//               blank or indented deeper (YAML's block scalars)
//
// Outside strings a backslash takes the next byte as it is.
#pragma once

#include "ere/ere.h"
#include "text/lang.h"

#include <memory>
#include <string>
#include <vector>

enum outline_kind { OUTLINE_BRACES, OUTLINE_INDENT, OUTLINE_HEADINGS };

// What the lexer skips over, by how it begins and ends.
enum outline_span_form : unsigned char {
    SPAN_LINE_COMMENT, // open, to the end of the line
    SPAN_DIRECTIVE,    // open as the line's first byte of code, to its end
    SPAN_BLOCK_COMMENT,
    SPAN_QUOTE, // open, to the next close on the same line
    SPAN_LONG_STRING,
    SPAN_CHARACTER,
    SPAN_HEREDOC,
    SPAN_INDENTED_BLOCK, // open is the byte that ends the line's code
};

struct outline_span {
    outline_span_form form;
    bool escapes;    // a backslash takes the next byte
    bool word_start; // only at the line's start or after a blank
    std::string open, close;
};

struct ere_discarder {
    void operator()(ERE *e) const { ere_discard(e); }
};

struct outline_rule {
    outline_kind kind;
    std::vector<std::string> prefixes;
    std::vector<outline_span> spans;
    std::unique_ptr<ERE, ere_discarder> first_line; // null: any line
};

// Why a rule could not be made.
enum outline_rule_fault {
    RULE_MADE,
    RULE_NO_MEMORY,
    RULE_BAD_KIND,       // not braces, indent or headings; headings without prefixes
    RULE_BAD_DELIMITER,  // a comment or string word of none of the forms above
    RULE_BAD_EXPRESSION, // ere_code says why
};

struct outline_rule_made {
    std::unique_ptr<outline_rule> rule; // null unless fault is RULE_MADE
    int fault;
    int ere_code;
};

// A rule from the words of its kind, its expression ("" for any line) and
// the words of its comments and strings.
outline_rule_made outline_rule_make(const char *kind, const char *first_line, const char *comments,
                                    const char *strings);

// The rule of a language, or null when it has none.
const outline_rule *outline_rule_of(const language_def *lang);

// The language's rule becomes rule (null: none), the old one freed. 0 when
// memory runs out, nothing changed. Rules of languages deleted since are
// freed here too.
int outline_rule_set(const language_def *lang, std::unique_ptr<outline_rule> rule);
