#include "commands/syntax_commands.h"

#include "commands/arguments.h"
#include "commands/errors.h"
#include "display/prompt.h"
#include "display/screen.h"
#include "display/syntax_colour.h"
#include "ere/ere.h"
#include "text/span_state.h"
#include "text/syntax.h"

void cmd_lg_syntax() {
    language_def *lang = arg_val[0].lang;
    const char *start = arg_val[2].str;
    if (*start == '\0') {
        syntax_free(lang->syntax);
        lang->syntax = nullptr;
    } else {
        int cls = syntax_class_of(arg_val[1].str);
        if (cls < 0) error_code(ERR_BAD_SYNTAX_CLASS);
        int code = 0;
        switch (syntax_add(&lang->syntax, cls, start, arg_val[3].str, arg_val[4].str, &code)) {
        case SYNTAX_OK: break;
        case SYNTAX_BAD_EXPRESSION: error_text(ere_error(code));
        case SYNTAX_EMPTY_START: error_code(ERR_EMPTY_SYNTAX_RULE);
        case SYNTAX_TOO_MANY: error_code(ERR_TOO_MANY_SYNTAX_RULES);
        default: error_code(ERR_OUT_OF_MEMORY);
        }
    }
    // The states were those of other rules, and so were the colours shown.
    for (text_buffer *b : buffs)
        if (b && b->lang == lang) span_forget(b);
    scn_forget_rows();
}

void cmd_syntax() {
    syntax_colour_on = arg_val[0].num;
    prompt(syntax_colour_on ? "syntax colour on" : "syntax colour off");
}

void cmd_syntax_colours() {
    bool kept = false;
    for (int i = 0; i < SYNTAX_CLASSES - 1; i++) {
        int colour = arg_val[i].num;
        if (colour >= 0 && colour <= 0x7ff)
            syntax_col_tab[SYN_COMMENT + i] = colour;
        else
            kept = true;
    }
    // Every text row is drawn again at the next refresh, in the new colours
    // (at start-up, before anything is shown, that costs nothing).
    scn_forget_rows();
    if (kept) error_code(ERR_BAD_NUMBER);
}
