#include "commands/search_commands.h"

#include <cstring>

#include "commands/arguments.h"
#include "commands/errors.h"
#include "commands/search.h"
#include "commands/search_walk.h"
#include "display/prompt.h"

namespace {

// The seven settings that follow the pattern (and the replacement) in the
// arguments of both commands, from argument `first` on.
void setup_from_arguments(const char *pattern, int first) {
    const arg_value *a = arg_val + first;
    search_setup(pattern, a[0].num, a[1].num, a[2].num, a[3].num, a[4].num, a[5].num, a[6].num);
}

} // namespace

void cmd_s_for() {
    setup_from_arguments(arg_val[0].str, 1);
    search_set_scope();
    last_search.replace = 0;
    search_run();
}

void cmd_s_replace() {
    setup_from_arguments(arg_val[0].str, 2);
    search_set_scope();
    search_record &q = last_search;
    q.replace = 1;
    q.replacement_len = static_cast<int>(strnlen(arg_val[1].str, LINE_MAX_TEXT));
    std::memcpy(q.replacement, arg_val[1].str, q.replacement_len);
    q.replacement[q.replacement_len] = '\0';
    search_run();
}

void cmd_s_again() {
    if (!last_search.have_pattern) error_code(ERR_NO_PREVIOUS_SEARCH);
    if (!in_search_scope()) {
        int reset = 0;
        if (!prompt_yn("no longer in scope of original search, reset scope: ", &reset) || !reset)
            error_code(ERR_ABORTED);
        search_set_scope();
    }
    search_run();
}
