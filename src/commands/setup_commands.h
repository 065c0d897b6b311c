// The setup commands: the current buffer's editing settings (text/flags.h),
// changed for that buffer alone; its language keeps its own. The status rows
// show the new settings at the next refresh.
#pragma once

// setup_visible, setup_autoindent, setup_insert: switch white space shown,
// autoindent, or insert (against overtype) mode.
void cmd_su_visible();
void cmd_su_autoindent();
void cmd_su_insert();

// setup_tabs (size): the tab size becomes the low 8 bits of the number, so 0
// and 256 both mean real tab characters.
void cmd_su_tabs();
