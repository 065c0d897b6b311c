// The fold commands: moving through the fold tree.
//
// Inside a buffer, fold_in on a fold line makes its list the current one and
// fold_out goes back to the list holding the fold line (text/fold_nav.h). On
// a virtual fold line fold_in reads the file it names into a child buffer
// (commands/vfold.h), and fold_out at the top of the child goes back to the
// parent, offering to write the child first.
#pragma once

// fold_start: the first line of the current list, at its start.
void cmd_f_start();
// fold_end: the end line of the current list.
void cmd_f_end();

// fold_open (flag): the current fold or virtual fold line opens (its contents
// shown in place) or closes. The open flag is saved with the file, so this
// changes the buffer. "expected fold or virtual fold line" on other lines.
void cmd_f_open();

// fold_in: into the fold of the current fold line, at its first line; or
// into the file of the current virtual fold line, in a child buffer. When a
// buffer holds that file already, asks "already have file in memory, use
// existing copy: ": yes makes that buffer a child of this one and current, no
// reads the file into another buffer. The new current list is shown from the
// top of the text rows. "expected fold or virtual fold line" on other lines.
void cmd_f_in();

// fold_out: back to the fold line of the current fold; at the top of a child
// buffer, back to its parent's virtual fold line, writing the child back if
// it changed and the user wants it. "fold has no parent" at the top of any
// other buffer. The current line is shown in the middle of the screen.
void cmd_f_out();
