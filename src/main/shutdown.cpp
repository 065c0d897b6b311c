#include "main/shutdown.h"

#include "commands/bindings.h"
#include "commands/journal.h"
#include "commands/undelete.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "host/mdep.h"
#include "text/buffer.h"

#include <cstdio>
#include <cstdlib>

void shutdown_all() {
    clear_bindings();
    undel_release_all();
    journal_stop();
    data_deinit();
    scn_deinit();
    th_deinit();
    mdep_deinit();
}

void fatal_exit(const char *message) {
    shutdown_all();
    std::fprintf(stderr, "ox: %s\n", message);
    std::exit(2);
}
