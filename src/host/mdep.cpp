#include "host/mdep.h"

#include "host/hangup.h"

#include <cstdlib>
#include <string>

namespace {
std::string home_dir = ".";
}

void mdep_init() {
    const char *home = std::getenv("HOME");
    home_dir = home ? home : ".";
}

void mdep_deinit() {}

void unhog() {
    hangup_poll();
}

const char *mdep_home_dir() {
    return home_dir.c_str();
}
