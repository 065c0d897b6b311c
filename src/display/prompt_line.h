// Row 2, the prompt line, as the prompt functions draw on it. Not for use
// outside the prompt module (display/prompt.h).
#pragma once

#include "display/char_names.h"
#include "display/rows.h"

// Cells a question leaves free on the line for its answer.
constexpr int ANSWER_ROOM = 10;

// Set while a message or question is on the line.
extern int prompt_in_use;

// A character of text as the prompt line shows it: as glyph_at shows it
// (display/char_names.h), except that spaces and tabs are always blank.
glyph prompt_glyph(const char *s, int col);

// Writes the text's display names at the tracked cursor, the first byte
// taken to be at screen column col, at most max_cells cells (of a byte's
// name that does not fit, as much as fits; a wide character that does not
// fit is left out). Returns the cells written.
int prompt_put(const char *text, int col, int max_cells);

// Shows text from column 0 in the status colour, at most max_cells cells,
// clears the rest of the line and marks it in use. The tracked cursor is left
// after the text, whose width is returned.
int prompt_show(const char *text, int max_cells);

// Clears the whole line in the status colour and marks it unused.
void prompt_clear();

// A question being asked, which can draw itself on the line again, with what
// was typed, and put the cursor where the answer goes; prompt_redraw uses it
// after the screen was drawn afresh at a new size.
struct question_line {
    virtual void redraw() = 0;

  protected:
    ~question_line() = default;
};

// The question on the line while it lives.
class asking {
  public:
    explicit asking(question_line *q);
    ~asking();
    asking(const asking &) = delete;
    asking &operator=(const asking &) = delete;

  private:
    question_line *was_;
};
