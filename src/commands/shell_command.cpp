#include "commands/shell_command.h"

#include "commands/arguments.h"
#include "commands/editor_state.h"
#include "commands/errors.h"
#include "display/screen.h"
#include "display/screen_restart.h"
#include "host/process.h"

void cmd_shell() {
    if (restricted) error_code(ERR_RESTRICTED);
    screen_leave();
    int ran = shell(arg_val[0].str);
    screen_reinit();
    refresh_all();
    if (!ran) error_code(ERR_COMMAND_FAILURE);
}
