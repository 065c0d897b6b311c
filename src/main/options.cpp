#include "main/options.h"

#include "commands/editor_state.h"
#include "main/shutdown.h"
#include "text/scan.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char usage_text[] =
    "usage: ox [-l] [-r] [-w width] [-h height] [-i inifile] [--] {filename}\n"
    "flags: -l          auto load all files (default is to load if only one file)\n"
    "       -r          restricted mode (no shelling out to operating system)\n"
    "       -w width    specify screen width\n"
    "       -h height   specify screen height\n"
    "       -i inifile  override default inifile choice\n"
    "       filename    name(s) of files to edit (no extension assumed)\n";

// Ends the process with status 0 once the text is on standard output, or with
// status 2 when it could not all be written there (a full disk, say): a user
// who asked for it must not take a part for the whole.
[[noreturn]] void print_exit(const char *text) {
    std::fputs(text, stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        fatal_exit("can't write to standard output");
    std::exit(0);
}

// The usage text and the two long options.
[[noreturn]] void help_exit() {
    std::fputs(usage_text, stdout);
    print_exit("       --help      show this text\n"
               "       --version   show the version\n");
}

} // namespace

void usage_exit() {
    std::fputs(usage_text, stderr);
    std::exit(2);
}

const char *option_value(int *index, int argc, char **argv) {
    const char *rest = argv[*index] + 2;
    if (*rest != '\0') return rest;
    if (*index + 1 >= argc) usage_exit();
    return argv[++*index];
}

static bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

int numeric_option(const char *value, const char *option_word) {
    if (!is_digit(*value)) {
        char message[64];
        std::snprintf(message, sizeof message, "bad numeric argument supplied for %s", option_word);
        fatal_exit(message);
    }
    const char *p = value;
    while (*p == '0') p++;
    size_t digits = 0;
    while (is_digit(p[digits])) digits++;
    if (digits > 9) return INT_MAX;
    int n;
    scan_num(value, &n);
    return n;
}

void parse_options(int argc, char **argv, command_line *cl) {
    *cl = command_line{0, nullptr, nullptr, nullptr, argc};
    int i = 1;
    for (; i < argc; i++) {
        const char *arg = argv[i];
        if (arg[0] != '-') break;
        if (arg[1] == '-') {
            if (std::strcmp(arg, "--help") == 0) help_exit();
            if (std::strcmp(arg, "--version") == 0) print_exit("ox " OX_VERSION "\n");
            i++;
            break;
        }
        switch (arg[1]) {
        case 'l': cl->auto_load = 1; break;
        case 'r': restricted = 1; break;
        case 'w': cl->width = option_value(&i, argc, argv); break;
        case 'h': cl->height = option_value(&i, argc, argv); break;
        case 'i': cl->ini = option_value(&i, argc, argv); break;
        default: usage_exit();
        }
    }
    cl->first_file = i;
}
