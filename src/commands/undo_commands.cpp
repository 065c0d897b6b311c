#include "commands/undo_commands.h"

#include "commands/cursor.h"
#include "commands/errors.h"
#include "commands/goto_line.h"
#include "commands/journal.h"
#include "display/rows.h"
#include "display/screen.h"

namespace {

// The cursor where the journal says, on a tree that is as it was then: the
// same line number names the same line, and the into value is one it had.
void put_cursor(const journal_cursor &c) {
    goto_line(cur_buffer, c.line_no);
    tree_fold *f = cur_fold();
    f->into = c.into;
    f->col = c.col;
    int bottom = cursor_row_bottom();
    f->row = c.row < CURSOR_ROW_TOP ? CURSOR_ROW_TOP : c.row > bottom ? bottom : c.row;
    scn_forget_rows();
}

} // namespace

void cmd_undo() {
    journal_cursor was;
    if (!journal_undo(cur_buffer, &was)) error_code(ERR_NOTHING_TO_UNDO);
    put_cursor(was);
}

void cmd_redo() {
    journal_cursor was;
    if (!journal_redo(cur_buffer, &was)) error_code(ERR_NOTHING_TO_REDO);
    put_cursor(was);
}
