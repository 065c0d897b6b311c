#include "commands/editor_state.h"

int restricted;
int ret_code;
int exit_flag;
