// The options of the benchmarks that take them by name, each followed by its
// value ("--lines 20000", "--ox PATH"); a value given replaces the default
// its variable holds. Anything else ends the program with the usage.
#pragma once

#include "common/fail.h"

#include <cerrno> // program_invocation_short_name
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <variant>

namespace bench {

struct bench_option {
    const char *name;
    std::variant<std::string *, long *, int *> value;
};

inline void read_options(int argc, char **argv, std::initializer_list<bench_option> options) {
    std::string usage = std::string("usage: ") + program_invocation_short_name;
    for (const bench_option &o : options)
        usage += std::string(" [") + o.name + (o.value.index() == 0 ? " PATH]" : " N]");
    for (int i = 1; i < argc; i += 2) {
        const bench_option *option = nullptr;
        for (const bench_option &o : options)
            if (argv[i] == std::string(o.name)) option = &o;
        if (!option) fail("unknown option " + std::string(argv[i]) + "\n" + usage);
        if (i + 1 >= argc) fail(std::string(argv[i]) + " needs a value\n" + usage);
        const char *value = argv[i + 1];
        if (auto text = std::get_if<std::string *>(&option->value))
            **text = value;
        else if (auto number = std::get_if<long *>(&option->value))
            **number = std::atol(value);
        else
            *std::get<int *>(option->value) = std::atoi(value);
    }
}

} // namespace bench
