// Undo and redo: the user's last actions taken back and made again, from the
// current buffer's journal (commands/journal.h).
#pragma once

// other_undo: the text, folds and marks of the current buffer become what
// they were before its last action (one key, menu choice or command text, or
// a run of characters typed on one line), and the cursor goes back to where
// it was when that action started. The buffer counts as changed unless that
// is the text last read or written. The undelete stack does not change.
// "nothing to undo" when no action is left; "out of memory" when the lines of
// the action that are also on the undelete stack cannot be copied.
void cmd_undo();

// other_redo: makes the last action undone again, the cursor going where it
// was when the action ended. A new change after an undo drops what could be
// redone. "nothing to redo" when there is none.
void cmd_redo();
