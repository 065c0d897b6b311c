// Syntax rules of a language, and the scanner that colours one line by them.
//
// A rule gives a class and an expression (ere/ere.h) that starts it. A rule
// of one match colours what the expression matches. A span rule has an end
// expression too: the span runs from its start over any number of lines to
// the end of the first match of the end expression after the start (the
// leftmost, and the longest there); a skip expression, when given, names
// what the span passes over whole, so that the end is not looked for inside
// it (an escaped quote). A span is a state a line may end in, and the next
// line then starts in it.
//
// Outside spans the scanner takes, from left to right, the leftmost place
// where any rule's start matches; of the rules matching there the one added
// first wins, with its longest match (so a span start like "--[[" goes
// before the "--.*" it begins). Text no rule takes is plain. A start
// expression must not match the empty string, so the scanner always moves
// on; end and skip expressions may.
//
// Rules are checked when they are added and compiled when the first line of
// their language is scanned, with the unions of start expressions that find
// the next rule in one pass (each start expression is tried alone where a
// union is too large for the engine). A rule too large for the engine itself
// (ere_check cannot tell) never matches. Nothing here prints or throws.
#pragma once

// Classes of text; SYN_PLAIN is text no rule takes.
enum syntax_class {
    SYN_PLAIN,
    SYN_COMMENT,
    SYN_STRING, // and character constants
    SYN_KEYWORD,
    SYN_TYPE,
    SYN_NUMBER,
    SYN_PREPROCESSOR, // and other directives
    SYNTAX_CLASSES
};

// Span states: where a line starts or ends. SPAN_UNKNOWN is for the states
// kept per line (text/span_state.h), never a result of the scanner.
constexpr int SPAN_UNKNOWN = 0;
constexpr int SPAN_NONE = 1;
// SPAN_RULE + k: inside the span of rule k (counted from 0 in the order
// the rules were added). States fit in 7 bits.
constexpr int SPAN_RULE = 2;
constexpr int MAX_SYNTAX_RULES = 100;

// A language's rules; opaque.
struct syntax_rules;

// The class of a name (comment, string, keyword, type, number,
// preprocessor), or -1.
int syntax_class_of(const char *name);

enum syntax_failure {
    SYNTAX_OK,
    SYNTAX_BAD_EXPRESSION, // one does not compile: the engine's code is stored
    SYNTAX_EMPTY_START,    // the start expression can match the empty string
    SYNTAX_TOO_MANY,       // MAX_SYNTAX_RULES rules already
    SYNTAX_NO_MEMORY,
};

// Adds a rule of class cls (SYN_COMMENT to SYN_PREPROCESSOR) to *rules, made
// with the first rule. end empty makes a rule of one match, and skip is then
// not used; skip empty means nothing is skipped. Returns SYNTAX_OK, or a
// failure with nothing changed; for SYNTAX_BAD_EXPRESSION the engine's error
// code goes to *ere_code (ere_code may be null).
int syntax_add(syntax_rules **rules, int cls, const char *start, const char *end, const char *skip,
               int *ere_code);

// The number of rules; 0 for null.
int syntax_count(const syntax_rules *rules);

// Frees the rules; null is accepted.
void syntax_free(syntax_rules *rules);

// Scans one line (NUL-terminated, at most LINE_MAX_TEXT bytes) that starts in
// state (SPAN_NONE or a span state; a state of no rule counts as SPAN_NONE).
// Returns the state the line ends in; when classes is not null, classes[i]
// receives the class of byte i for every byte of the line.
int syntax_scan(syntax_rules *rules, const char *text, int state, unsigned char *classes);
