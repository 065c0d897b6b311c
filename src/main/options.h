// The command line: ox [-l] [-r] [-w width] [-h height] [-i inifile] [--] {filename}
//
// Options come first. The first argument that does not begin with "-" ends
// them, and so does an argument whose second character is "-" ("--", and
// likewise "--x"), which is itself skipped; every argument after that is a
// file name, whatever it looks like. Only the second character of an option
// counts ("-lr" is "-l"), except that "-w", "-h" and "-i" take their value
// from the rest of the argument ("-w80") or else from the next argument ("-w
// 80", taken whatever it looks like). An option given twice keeps the later
// value. Anything else is a usage error: the usage text and status 2.
//
// While options are read, an argument that is exactly "--help" or "--version"
// writes the usage text (with those two options added) or "ox" and the
// version to standard output and ends the process with status 0.
#pragma once

// What the command line asked for.
struct command_line {
    int auto_load;      // "-l" given
    const char *width;  // the "-w" value as written; null when not given
    const char *height; // the "-h" value
    const char *ini;    // the "-i" value
    int first_file;     // index of the first file name in the argument vector
};

// Reads the options into cl and sets `restricted` for "-r"; a usage error
// ends the process through usage_exit, "--help" and "--version" end it too.
void parse_options(int argc, char **argv, command_line *cl);

// The value of the option at argv[*index]: the rest of the argument after its
// two option characters when that is not empty, else the next argument
// (advancing *index); usage_exit when there is none.
const char *option_value(int *index, int argc, char **argv);

// The number at the start of a "-w" or "-h" value: its leading decimal
// digits, anything after them ignored. A value that does not begin with a
// digit ends the process with "bad numeric argument supplied for " and the
// option word ("width" or "height"). A number of more than nine digits gives
// INT_MAX, so that it fails the range test instead of wrapping into it.
int numeric_option(const char *value, const char *option_word);

// Writes the usage text to standard error and exits with status 2.
[[noreturn]] void usage_exit();
