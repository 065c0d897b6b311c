// The syntax colour commands: a language's rules, the setting that turns
// syntax colour on and off, and the colours of its classes
// (display/syntax_colour.h, text/syntax.h).
#pragma once

// language_syntax (language, class, start, end, skip): adds a rule to the
// language. The class is one of comment, string, keyword, type, number,
// preprocessor; start, end and skip are regular expressions, end empty for a
// rule of one match (skip then unused), skip empty for a span that skips
// nothing. An empty start removes every rule of the language. Fails with
// "bad syntax class", the expression's own message, "syntax rule matches the
// empty string" (a start that can), "too many syntax rules" (past 100) or
// "out of memory", adding nothing.
void cmd_lg_syntax();

// other_syntax (yes or no): turns syntax colour on or off for every buffer.
void cmd_syntax();

// other_syntax_colours (six numbers): the colours of comments, strings,
// keywords, types, numbers and directives, in the numbers of other_colours
// (only the foreground is used); then the screen is drawn again. A number
// outside 0 to &7ff is not taken and "bad number" is shown.
void cmd_syntax_colours();
