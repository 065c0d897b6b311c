// The editor's extended regular-expression engine.
//
// An expression is compiled once into a handle and matched against
// NUL-terminated subject texts (one line each, in the editor) any number of
// times. The engine depends on nothing else in the editor; it never prints and
// never throws: failures come back as a null handle, 0 or -1, with an error
// code where the function takes one.
//
// Syntax (outside bracket expressions):
//   .            any character but the end of the text
//   [...]        bracket expression: "[^...]" negated, "a-z" ranges, "[:alpha:]"
//                classes (alnum alpha blank cntrl digit lower print punct space
//                upper xdigit), "\" escapes; "[]" matches nothing, "[^]" any
//                character; no set ever matches the end of the text
//   ( )          group; "()" is an empty group
//   ? + * {m} {m,} {m,n}   repetition of the piece before; they stack ("a*+")
//   |            alternation; empty alternatives match the empty string
//   ^ \`         start of the text (not of the search)
//   $ \'         end of the text
//   \< \> \B \y  word start, word end, inside a word, word boundary
//   \w \W        a word character (isalnum or "_"), a non-word character
//   \1 .. \9     back-reference to a group closed earlier at the same level
//   ~c           any character but c ("~\t" is any but tab; "~" at the end,
//                or before a backslash that ends the expression, is "~" itself)
//   \b \e \f \n \r \t   backspace, escape, form feed, newline, return, tab
//   \xH \xHH     the byte of that hexadecimal value ("\x" alone is "x")
//   \c           the character c itself for any other c
// An escape whose value is 0, or a backslash at the very end, ends the
// expression. Literal characters and members of bracket expressions are
// folded to lower case under ERE_ICASE; the caller then folds the subject text
// to lower case too (a copy of the same length, so offsets stay valid).
//
// Groups: only groups at the top level of the expression are kept and
// reported (and groups directly inside a group whose own level holds a
// back-reference). A back-reference counts the groups closed before it at its
// own level: "(a)(b\1)" never matches.
//
// Matching explores every path and keeps the longest end (the shortest with
// ERE_SHORTEST); among paths with that end, the spans come from the first path
// found (the last with ERE_SHORTEST). Alternatives are tried left to right,
// "*" and "+" try their body before leaving, "?" and the optional copies of
// "{m,n}" try skipping first. The cost of exploring can grow exponentially
// with nested repetitions. For an expression without back-references,
// ere_match_fwd and ere_match_bwd without flags find where their match starts
// and ends in time linear in the text, and explore paths only from that start
// and only for the spans; everything else explores from each start position
// that may begin a match. A poll hook (ere_set_poll) lets a caller give up.
//
// One match runs at a time (the match state is process-wide), and one handle
// must not be matched by two walks at once. A handle keeps what its searches
// learn about the expression (a few megabytes at most) until it is
// discarded.
#pragma once

// Compiled expression; opaque to callers.
struct ERE;

// Spans of the top-level groups, in the order they closed along the winning
// path. count may exceed 9 (a group under "*" closes once per pass); only the
// first nine spans are ever written. Offsets count from the start of the text.
struct ERE_SUBS {
    int count;
    struct {
        int offset;
        int length;
    } span[9];
};

// Compile flag: fold the expression's literals to lower case.
constexpr int ERE_ICASE = 1;

// Match flags: keep the shortest match end instead of the longest; stop a
// path as soon as it reaches an accepting state.
constexpr int ERE_SHORTEST = 1, ERE_NO_EXTEND = 2;

// Compiles pattern (read up to its NUL, not kept). Returns a new handle, owned
// by the caller until ere_discard, or null after storing an error code (1 to
// 21) through error_code (which may be null); 0 is stored first. A failed
// compile leaves no memory behind. Flags other than ERE_ICASE are ignored. An
// expression that needs more than 500 automaton states or 1500 edges is "too
// complex" ("a{249}" compiles, "a{250}" does not), and so is one of more than
// 5000 parse nodes or 1000 nested groups.
ERE *ere_compile(const char *pattern, int flags, int *error_code);

// Checks a pattern as ere_compile reads it, without compiling it: 0, or the
// error code ere_compile would store, but for 18 ("too complex"), which only
// compiling finds. min_length (when not null) receives ere_min_len's value.
int ere_check(const char *pattern, int flags, int *min_length);

// 0 when no match of the pattern covers the whole of text (a NUL-terminated
// string); else 1: when one does, when the pattern does not parse or is
// more than this reading follows (a back-reference, a count above 256,
// pieces nested 200 deep), or when the text is longer than 255 bytes. Reads the pattern without
// compiling it, for a caller that tests many patterns once each against a short text.
int ere_may_match_whole(const char *pattern, int flags, const char *text);

// Compiles the union of count patterns: a handle whose matches are the
// matches of any of them, as their alternation "p1|p2|..." would be but
// without joining the texts (a pattern ending in a backslash or "~" keeps its
// meaning). Each pattern must compile alone; the first that does not gives
// its error code. The union keeps no groups but those a back-reference
// needs, so it reports no spans. Its limits are those of one expression.
ERE *ere_compile_any(const char *const *patterns, int count, int flags, int *error_code);

// The message of an error code (1 to 24), a constant string; null for 0 and
// for codes outside that range.
const char *ere_error(int code);

// The smallest number of characters any match of ere can cover.
int ere_min_len(const ERE *ere);

// Frees a handle and everything it holds. Null is accepted.
void ere_discard(ERE *ere);

// Matches starting exactly at offset (0 to the text's length). Returns the
// length of the best match, or -1 when there is none (or offset is outside the
// text). subs, when not null, receives the spans of the winning match.
// Without flags and spans, the automata find the longest match in time
// linear in its length.
int ere_match(ERE *ere, int flags, const char *text, int offset, ERE_SUBS *subs);

// Finds the leftmost match that starts at or after offset. Returns 1 and
// stores its start, length and (when subs is not null) spans, or returns 0 and
// leaves the outputs as they were.
int ere_match_fwd(ERE *ere, int flags, const char *text, int offset, int *match_offset,
                  int *match_length, ERE_SUBS *subs);

// Where the leftmost match at or after offset starts, as ere_match_fwd
// without flags finds it, or -1; its end is not looked for.
int ere_match_start(ERE *ere, const char *text, int offset);

// Sets in set (32 bytes, bit b % 8 of byte b / 8 for byte b) every byte a
// match can begin with, and clears the others: all are set when a match can
// be empty.
void ere_first_bytes(const ERE *ere, unsigned char *set);

// The same for every byte a match can hold anywhere.
void ere_bytes(const ERE *ere, unsigned char *set);

// Finds the last match that ends at or before limit: of all such matches, one
// with the latest end and, of those, the earliest start (the latest start with
// ERE_SHORTEST). Bytes after the limit are still seen by "$" and the word
// tests. Returns 1 and stores the match as ere_match_fwd does, or returns 0.
int ere_match_bwd(ERE *ere, int flags, const char *text, int limit, int *match_offset,
                  int *match_length, ERE_SUBS *subs);

// Builds into output (max + 1 bytes) the text with the match at match_offset,
// of match_length bytes, replaced by replacement, in which "\1" to "\9" stand
// for the spans of subs and a backslash before any other character stands for
// that character. The match and spans must lie inside text; subs may be null
// (no groups) and so may error_code. Returns 1, or 0 with error code 22 (a
// lone backslash at the end), 23 (a group the match did not close) or 24 (the
// new text would exceed max bytes), the first met from left to right; output
// is then unspecified.
int ere_subs_with(const char *text, int match_offset, int match_length, const ERE_SUBS *subs,
                  const char *replacement, char *output, int max, int *error_code);

// Registers a function that long matches call every few thousand steps (null:
// none). When it returns non-zero the match in progress gives up and reports
// no match. Results are unchanged as long as it returns 0.
void ere_set_poll(int (*poll)(void));

// 1 when the last call of ere_match, ere_match_fwd or ere_match_bwd gave up
// because the poll asked it to (or its working memory could not grow), else 0.
int ere_aborted(void);
