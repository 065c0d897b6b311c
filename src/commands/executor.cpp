#include "commands/executor.h"

#include "commands/arguments.h"
#include "commands/editor_state.h"
#include "commands/errors.h"

#include <cstring>

static const char *get_arg(const char *p, const arg_desc &desc, arg_value &value, int *strings) {
    switch (desc.type) {
    case ARG_NUMBER: return get_num(p, &value.num, desc.prompt);
    case ARG_STRING: value.str = arg_strs[(*strings)++]; return get_str(p, value.str, desc.prompt);
    case ARG_BUFFER: return get_buff(p, &value.buff, desc.prompt);
    case ARG_LANGUAGE: return get_lang(p, &value.lang, desc.prompt);
    case ARG_CHAR: return get_char(p, &value.chr, desc.prompt);
    case ARG_YESNO: return get_yn(p, &value.num, desc.prompt);
    default: return get_when(p, &value.num, desc.prompt);
    }
}

const char *exec_command(const char *p) {
    char name[LINE_BUF_SIZE];
    int n = 0;
    for (; *p != '\0' && !is_space_byte(static_cast<unsigned char>(*p)); p++)
        if (n < LINE_MAX_TEXT) name[n++] = *p;
    name[n] = '\0';
    int i = lookup_command(name);
    if (i < 0 || cmd_table[i].func == nullptr) error_code(ERR_COMMAND_NOT_FOUND);
    const command_entry &cmd = cmd_table[i];
    int strings = 0;
    for (int a = 0; a < cmd.n_args; a++) {
        p = skip_space(p);
        if (*p == '\0') error_code(ERR_INSUFFICIENT_ARGUMENTS);
        p = get_arg(p, cmd.args[a], arg_val[a], &strings);
    }
    cmd.func();
    return p;
}

int exec_commands(const char *text) {
    char copy[LINE_BUF_SIZE];
    size_t n = strnlen(text, LINE_MAX_TEXT);
    std::memcpy(copy, text, n);
    copy[n] = '\0';
    return run_with_recovery([&copy] {
        const char *p = copy;
        while (!exit_flag) {
            p = skip_space(p);
            if (*p == '\0' || *p == ';') return;
            p = exec_command(p);
        }
    });
}
