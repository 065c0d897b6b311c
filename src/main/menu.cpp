#include "main/menu.h"

#include "commands/command_table.h"
#include "commands/errors.h"
#include "commands/executor.h"
#include "text/scan.h"

#include <cstring>

namespace {

constexpr int COMMAND_CHOICE = MENU_GROUPS; // the value of "COMMAND"

const char *const group_names[MENU_GROUPS + 1] = {
    "character", "string", "word",     "line",  "page", "search", "tag",     "fold",
    "block",     "buffer", "language", "setup", "key",  "other",  "COMMAND",
};

struct group_table {
    prompt_option options[N_COMMANDS];
    int count;
    int last; // index of the command chosen last
};

group_table groups[MENU_GROUPS];
prompt_option group_choices[MENU_GROUPS + 1];
int n_group_choices;
int last_group; // value of the group chosen last
bool built;

// The tables come from the command table, which does not change while the
// editor runs: they are made once, at the first use.
void build_tables() {
    if (built) return;
    built = true;
    for (int g = 0; g < MENU_GROUPS; g++) {
        size_t len = std::strlen(group_names[g]);
        for (const command_entry &c : cmd_table)
            if (c.func != nullptr && std::strncmp(c.name, group_names[g], len) == 0 &&
                c.name[len] == '_')
                groups[g].options[groups[g].count++] = {c.name + len + 1, c.n_args, 0, 0};
        if (groups[g].count > 0) group_choices[n_group_choices++] = {group_names[g], g, 0, 0};
    }
    group_choices[n_group_choices++] = {group_names[COMMAND_CHOICE], COMMAND_CHOICE, 0, 0};
}

void aborted() {
    prompt(error_messages[ERR_ABORTED]);
}

void command_prompt() {
    char text[LINE_BUF_SIZE];
    if (!prompt_str("command: ", text)) {
        aborted();
        return;
    }
    exec_commands(text);
}

// Asks for a command of group g and runs it, asking for all its arguments.
void group_menu(int g) {
    group_table &t = groups[g];
    char question[32];
    *print_str(print_str(question, group_names[g]), ": ") = '\0';
    prompt_option *chosen;
    if (!prompt_opt(question, &chosen, t.options, t.count, t.last)) {
        aborted();
        return;
    }
    t.last = static_cast<int>(chosen - t.options);
    static const char asks[] = " ? ? ? ? ? ? ? ? ?";
    char text[LINE_BUF_SIZE];
    char *p = print_str(print_str(print_str(text, group_names[g]), "_"), chosen->name);
    std::memcpy(p, asks, 2 * chosen->value);
    p[2 * chosen->value] = '\0';
    exec_commands(text);
}

} // namespace

const prompt_option *menu_group_options(int g, int *count) {
    build_tables();
    *count = groups[g].count;
    return groups[g].options;
}

void menu() {
    build_tables();
    int first = 0;
    for (int i = 0; i < n_group_choices; i++)
        if (group_choices[i].value == last_group) first = i;
    prompt_option *chosen;
    if (!prompt_opt("menu: ", &chosen, group_choices, n_group_choices, first)) {
        aborted();
        return;
    }
    last_group = chosen->value;
    if (last_group == COMMAND_CHOICE)
        command_prompt();
    else
        group_menu(last_group);
}
