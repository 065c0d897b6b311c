// Lexical analysis of an expression outside bracket expressions: the token at
// a position, and the position after it, so the parser can peek and advance.
#pragma once

enum token_kind {
    TOK_END,
    TOK_ANY,
    TOK_OPEN_SET,
    TOK_CLOSE_SET,
    TOK_OPEN_GROUP,
    TOK_CLOSE_GROUP,
    TOK_OPEN_COUNT,
    TOK_CLOSE_COUNT,
    TOK_OPTIONAL,
    TOK_PLUS,
    TOK_STAR,
    TOK_BAR,
    TOK_START_ANCHOR,
    TOK_END_ANCHOR,
    TOK_WORD_START,
    TOK_WORD_END,
    TOK_INSIDE_WORD,
    TOK_WORD_BOUNDARY,
    TOK_WORD_CHAR,
    TOK_NON_WORD_CHAR,
    TOK_BACKREF,
    TOK_CHAR,
    TOK_EXCLUDED,
    TOK_STRING,
};

struct ere_token {
    token_kind kind;
    unsigned char value; // character, excluded character, back-reference group index
    const char *string;  // first byte of a string token
    int length;          // length of a string token (2 to 254)
    const char *next;    // position after the token
};

// The longest literal run the scanner measures at once.
constexpr int RUN_LIMIT = 255;

// Scans the token at p.
void scan_token(const char *p, ere_token *token);

// Reads an escaped character; p is just after the backslash. Returns its value
// and stores the position after it in next. A value of 0 (also for a backslash
// at the very end) means the expression ends there.
int scan_escape(const char *p, const char **next);
