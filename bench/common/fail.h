// How a benchmark gives up when it cannot do what it times: the program's
// name and the reason on the standard error, and status 1, so that a run that
// went wrong never prints figures.
#pragma once

#include <cerrno> // program_invocation_short_name
#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

[[noreturn]] inline void fail(const std::string &what) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
    std::exit(1);
}

} // namespace bench
