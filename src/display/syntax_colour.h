// Syntax colour on the screen: comments, strings, keywords, types, numbers
// and directives of the text lines drawn in colours of their own, by the
// rules of the buffer's language (text/syntax.h).
//
// Only unmarked text lines take syntax colour: the marked block, fold,
// virtual fold and end lines, the tag mark and the status rows keep their
// colours. It shows while the setting is on, the terminal draws in colour
// and the language has rules; otherwise every line is drawn as without it.
// A row records the span state its line starts in, so the screen draws a row
// again when that state changed as well as its text.
#pragma once

#include "display/layout.h"
#include "text/buffer.h"
#include "text/syntax.h"

// The colour value of each class. Only the foreground counts: it is drawn on
// the text colour's background (and in its monochrome attribute, which
// syntax colour never shows). The entry of SYN_PLAIN is not used.
extern int syntax_col_tab[SYNTAX_CLASSES];

// The setting: 1 (the default) while syntax colour is on.
extern int syntax_colour_on;

// Brings the lines' span states (text/span_state.h) up to date and gives each
// of rows[FIRST_TEXT_ROW] to rows[n_rows - 1] that shows an unmarked text line
// of b in syntax colour the state its line starts in (the others 0).
void syntax_rows(layout_row *rows, int n_rows, text_buffer *b);

// Draws the text line of a row whose span state is set at the tracked
// cursor, in syntax colour, laid out as text_image does (display/draw_text.h),
// and returns its width in cells. The text colour is current afterwards.
int syntax_draw(const layout_row &row, int width, int h);
