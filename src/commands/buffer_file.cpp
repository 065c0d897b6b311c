#include "commands/buffer_file.h"

#include "commands/errors.h"
#include "commands/journal.h"
#include "commands/write_back.h"
#include "display/prompt.h"
#include "text/buff_file.h"
#include "text/fold_file.h"

text_buffer *buffer_for_file(const char *fn, int parent) {
    language_def *lang = lang_for_file(fn);
    if (!lang) error_code(ERR_CANT_DEDUCE_LANGUAGE);
    text_buffer *b = buff_create(fn, parent, lang);
    if (!b) error_code(ERR_OUT_OF_MEMORY);
    return b;
}

void read_buffer_file(text_buffer *b) {
    const char *fn = b->fn;
    file_prompt("reading ", fn);
    read_report read = buff_read(b, fn);
    journal_read(b);
    if (!read) error_file(read_fail_code(read.outcome), fn);
    prompt_blank();
    warn_readonly(fn);
    if (const char *warning = rdloss_warning(read.loss, b->crlf)) file_prompt(warning, fn);
    b->changed = 0;
}
