#include "commands/command_table.h"

#include "commands/block_commands.h"
#include "commands/block_files.h"
#include "commands/bracket.h"
#include "commands/buffer_commands.h"
#include "commands/char_commands.h"
#include "commands/fold_commands.h"
#include "commands/help_command.h"
#include "commands/key_commands.h"
#include "commands/language_commands.h"
#include "commands/line_commands.h"
#include "commands/other_commands.h"
#include "commands/outline_commands.h"
#include "commands/page_commands.h"
#include "commands/search_commands.h"
#include "commands/setup_commands.h"
#include "commands/shell_command.h"
#include "commands/syntax_commands.h"
#include "commands/tag_commands.h"
#include "commands/undelete.h"
#include "commands/undo_commands.h"
#include "commands/word_commands.h"

#include <cstring>

namespace {

const arg_desc a_char[] = {{ARG_CHAR, "character: "}};
const arg_desc a_string[] = {{ARG_STRING, "string: "}};
const arg_desc a_line[] = {{ARG_STRING, "line: "}};
const arg_desc a_line_fold[] = {
    {ARG_STRING, "line: "}, {ARG_YESNO, "open: "}, {ARG_NUMBER, "indent: "}};
const arg_desc a_line_number[] = {{ARG_NUMBER, "line number: "}};
const arg_desc a_trans[] = {{ARG_STRING, "translate from: "}, {ARG_STRING, "translate to: "}};
const arg_desc a_search_for[] = {
    {ARG_STRING, "search for: "},
    {ARG_YESNO, "case sensitive: "},
    {ARG_YESNO, "regular expression: "},
    {ARG_WHEN, "when to enter folds: "},
    {ARG_WHEN, "when to enter virtual folds: "},
    {ARG_YESNO, "forwards: "},
    {ARG_NUMBER, "times (0 for infinite): "},
    {ARG_YESNO, "confirm: "},
};
const arg_desc a_search_replace[] = {
    {ARG_STRING, "search for: "},
    {ARG_STRING, "replace with: "},
    {ARG_YESNO, "case sensitive: "},
    {ARG_YESNO, "regular expression: "},
    {ARG_WHEN, "when to enter folds: "},
    {ARG_WHEN, "when to enter virtual folds: "},
    {ARG_YESNO, "forwards: "},
    {ARG_NUMBER, "times (0 for infinite): "},
    {ARG_YESNO, "confirm: "},
};
const arg_desc a_forwards[] = {{ARG_YESNO, "forwards: "}};
const arg_desc a_open[] = {{ARG_YESNO, "open: "}};
const arg_desc a_block_fold[] = {
    {ARG_STRING, "tag: "}, {ARG_YESNO, "open: "}, {ARG_NUMBER, "indent: "}};
const arg_desc a_filename[] = {{ARG_STRING, "filename: "}};
const arg_desc a_block_write[] = {{ARG_STRING, "filename: "}, {ARG_YESNO, "append: "}};
const arg_desc a_command[] = {{ARG_STRING, "command: "}};
const arg_desc a_buffer_create[] = {
    {ARG_STRING, "filename: "}, {ARG_YESNO, "read too: "}, {ARG_YESNO, "select too: "}};
const arg_desc a_buffer_delete[] = {{ARG_BUFFER, "delete: "}};
const arg_desc a_buffer_select[] = {{ARG_BUFFER, "select: "}};
const arg_desc a_buffer_rename[] = {{ARG_BUFFER, "rename: "}, {ARG_STRING, "filename: "}};
const arg_desc a_buffer_read[] = {{ARG_BUFFER, "read: "}};
const arg_desc a_buffer_write[] = {{ARG_BUFFER, "write: "}, {ARG_YESNO, "append: "}};
const arg_desc a_language_create[] = {
    {ARG_STRING, "language: "},
    {ARG_STRING, "reserved comment start: "},
    {ARG_STRING, "reserved comment end: "},
    {ARG_STRING, "match: "},
    {ARG_YESNO, "white space visible: "},
    {ARG_YESNO, "autoindent: "},
    {ARG_YESNO, "insert mode: "},
    {ARG_NUMBER, "tab size (0 for real ^I tabs): "},
    {ARG_STRING, "word seperators: "},
};
const arg_desc a_language_delete[] = {{ARG_LANGUAGE, "delete: "}};
const arg_desc a_language_select[] = {{ARG_LANGUAGE, "select: "}};
const arg_desc a_language_rename[] = {{ARG_LANGUAGE, "rename: "}, {ARG_STRING, "language: "}};
// The outline commands.
const arg_desc a_depth[] = {{ARG_NUMBER, "depth (0 for every level): "}};
const arg_desc a_language_outline[] = {
    {ARG_LANGUAGE, "language: "},
    {ARG_STRING, "outline kind: "},
    {ARG_STRING, "first line matches: "},
    {ARG_STRING, "comments: "},
    {ARG_STRING, "strings: "},
};
const arg_desc a_tab_size[] = {{ARG_NUMBER, "tab size (0 for real ^I tabs): "}};
const arg_desc a_key_prefix[] = {{ARG_STRING, "key to make a prefix: "}};
const arg_desc a_key_bind[] = {{ARG_STRING, "key(s) to bind to: "}, {ARG_STRING, "action: "}};
const arg_desc a_sure[] = {{ARG_YESNO, "sure: "}};
const arg_desc a_colours[] = {
    {ARG_NUMBER, "text colour: "},        {ARG_NUMBER, "fold colour: "},
    {ARG_NUMBER, "status colour: "},      {ARG_NUMBER, "marked text colour: "},
    {ARG_NUMBER, "marked fold colour: "}, {ARG_NUMBER, "marked status colour: "},
};
const arg_desc a_mode[] = {{ARG_NUMBER, "width: "}, {ARG_NUMBER, "height: "}};
const arg_desc a_backups[] = {{ARG_YESNO, "backups: "}};
// Syntax colour.
const arg_desc a_language_syntax[] = {
    {ARG_LANGUAGE, "language: "},  {ARG_STRING, "class: "},
    {ARG_STRING, "start: "},       {ARG_STRING, "end (empty for a match alone): "},
    {ARG_STRING, "skip inside: "},
};
const arg_desc a_syntax[] = {{ARG_YESNO, "syntax colour: "}};
const arg_desc a_syntax_colours[] = {
    {ARG_NUMBER, "comment colour: "}, {ARG_NUMBER, "string colour: "},
    {ARG_NUMBER, "keyword colour: "}, {ARG_NUMBER, "type colour: "},
    {ARG_NUMBER, "number colour: "},  {ARG_NUMBER, "preprocessor colour: "},
};

template <int N>
constexpr command_entry row(const char *name, command_handler func, const arg_desc (&args)[N]) {
    return {name, func, N, args};
}
constexpr command_entry row(const char *name, command_handler func) {
    return {name, func, 0, nullptr};
}

} // namespace

// The comment on a row without a handler names the handler it is waiting for.
const command_entry cmd_table[N_COMMANDS] = {
    row("character_left", cmd_c_left),
    row("character_right", cmd_c_right),
    row("character_insert", cmd_c_insert, a_char),
    row("character_overtype", cmd_c_overtype, a_char),
    row("character_type", cmd_c_type, a_char),
    row("character_delete_left", cmd_c_delete_left),
    row("character_delete_right", cmd_c_delete_right),
    row("character_delete_eol", cmd_c_delete_eol),
    row("character_tab", cmd_c_tab),
    row("string_insert", cmd_cs_insert, a_string),
    row("string_overtype", cmd_cs_overtype, a_string),
    row("string_type", cmd_cs_type, a_string),
    row("word_left", cmd_w_left),
    row("word_right", cmd_w_right),
    row("line_insert", cmd_l_insert, a_line),
    row("line_insert...", cmd_l_insert_f, a_line_fold),
    row("line_insert:::", cmd_l_insert_v, a_line_fold),
    row("line_delete", cmd_l_del),
    row("line_yank", cmd_l_yank),
    row("line_up", cmd_l_up),
    row("line_down", cmd_l_down),
    row("line_start", cmd_l_start),
    row("line_end", cmd_l_end),
    row("line_goto", cmd_l_goto, a_line_number),
    row("line_split", cmd_l_split),
    row("line_trans", cmd_l_trans, a_trans),
    row("line_exec", cmd_l_exec),
    row("page_up", cmd_p_up),
    row("page_down", cmd_p_down),
    row("page_scroll_up", cmd_p_scroll_up),
    row("page_scroll_down", cmd_p_scroll_down),
    row("search_for", cmd_s_for, a_search_for),
    row("search_replace", cmd_s_replace, a_search_replace),
    row("search_again", cmd_s_again),
    row("search_bracket", cmd_s_bracket),
    row("tag_line", cmd_t_line),
    row("tag_error", cmd_t_error),
    row("tag_goto", cmd_t_goto, a_forwards),
    row("fold_start", cmd_f_start),
    row("fold_end", cmd_f_end),
    row("fold_open", cmd_f_open, a_open),
    row("fold_in", cmd_f_in),
    row("fold_out", cmd_f_out),
    row("fold_outline", cmd_f_outline, a_depth),
    row("fold_flatten", cmd_f_flatten),
    row("block_mark_1", cmd_b_mark_1),
    row("block_mark_2", cmd_b_mark_2),
    row("block_unmark", cmd_b_unmark),
    row("block_to_mark_1", cmd_b_to_mark_1),
    row("block_to_mark_2", cmd_b_to_mark_2),
    row("block_fold", cmd_b_fold, a_block_fold),
    row("block_unfold", cmd_b_unfold),
    row("block_entab", cmd_b_entab),
    row("block_detab", cmd_b_detab),
    row("block_read", cmd_b_read, a_filename),
    row("block_write", cmd_b_write, a_block_write),
    row("block_filter", cmd_b_filter, a_command),
    row("block_delete", cmd_b_delete),
    row("block_yank", cmd_b_yank),
    row("block_trans", cmd_b_trans, a_trans),
    row("buffer_create", cmd_bf_create, a_buffer_create),
    row("buffer_delete", cmd_bf_delete, a_buffer_delete),
    row("buffer_select", cmd_bf_select, a_buffer_select),
    row("buffer_rename", cmd_bf_rename, a_buffer_rename),
    row("buffer_read", cmd_bf_read, a_buffer_read),
    row("buffer_write", cmd_bf_write, a_buffer_write),
    row("language_create", cmd_lg_create, a_language_create),
    row("language_delete", cmd_lg_delete, a_language_delete),
    row("language_select", cmd_lg_select, a_language_select),
    row("language_rename", cmd_lg_rename, a_language_rename),
    row("language_outline", cmd_lg_outline, a_language_outline),
    // Syntax colour: a language's rules.
    row("language_syntax", cmd_lg_syntax, a_language_syntax),
    row("setup_visible", cmd_su_visible),
    row("setup_autoindent", cmd_su_autoindent),
    row("setup_insert", cmd_su_insert),
    row("setup_tabs", cmd_su_tabs, a_tab_size),
    row("key_prefix", cmd_k_prefix, a_key_prefix),
    row("key_bind", cmd_k_bind, a_key_bind),
    row("other_undelete", cmd_undelete),
    row("other_put", cmd_put),
    row("other_shell", cmd_shell, a_command),
    row("other_redraw", cmd_redraw),
    row("other_help", cmd_help),
    row("other_exit", cmd_exit, a_sure),
    row("other_abort", cmd_abort, a_sure),
    row("other_squeeze", cmd_sqeeze),
    row("other_colours", cmd_colours, a_colours),
    // Syntax colour: on or off, and its colours.
    row("other_syntax", cmd_syntax, a_syntax),
    row("other_syntax_colours", cmd_syntax_colours, a_syntax_colours),
    row("other_mode", cmd_mode, a_mode),
    row("other_backups", cmd_backups, a_backups),
    row("other_undo", cmd_undo),
    row("other_redo", cmd_redo),
};

int lookup_command(const char *name) {
    // The first bytes compared first: most names differ there.
    for (int i = 0; i < N_COMMANDS; i++)
        if (cmd_table[i].name[0] == name[0] && std::strcmp(cmd_table[i].name, name) == 0) return i;
    return -1;
}
