#include "main/emergency.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "display/terminal.h"
#include "host/hangup.h"
#include "host/mdep.h"
#include "text/buff_file.h"
#include "text/buffer.h"

namespace {

// Opens a new emergency file for the base name: base".save", else
// base".save.1" and so on. -1 when none can be made (not for lack of a free
// name: after 100 taken names it gives up).
int open_save_file(const std::string &base, std::string *made) {
    for (int n = 0; n < 100; n++) {
        std::string name = base + ".save" + (n ? "." + std::to_string(n) : "");
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            *made = name;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// Writes the buffer to a new emergency file for the base name: true, with
// its name, when the whole buffer reached the disk.
bool save_as(const BUFF *b, const std::string &base, std::string *made) {
    int fd = open_save_file(base, made);
    if (fd < 0) return false;
    FILE *fp = fdopen(fd, "w");
    if (!fp) {
        close(fd);
        unlink(made->c_str());
        return false;
    }
    bool ok = buff_write_to(b, fp) && fsync(fd) == 0;
    ok = std::fclose(fp) == 0 && ok;
    if (!ok) unlink(made->c_str());
    return ok;
}

// The line for the standard error about one buffer.
std::string save_buffer(const BUFF *b) {
    std::string what = b->fn[0] ? std::string(b->fn) : "unnamed buffer";
    std::string made;
    std::string home = std::string(mdep_home_dir()) + "/ox";
    if ((b->fn[0] && save_as(b, b->fn, &made)) || save_as(b, "ox", &made) ||
        save_as(b, home, &made))
        return "ox: " + what + " saved in " + made;
    return "ox: " + what + " could not be saved";
}

[[noreturn]] void emergency_save(int status) {
    std::vector<std::string> lines;
    for (BUFF *b : buffs)
        if (b && b->changed) lines.push_back(save_buffer(b));
    if (!hangup_terminal_lost()) th_deinit();
    for (const std::string &line : lines) std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    _exit(status);
}

} // namespace

void emergency_init() {
    hangup_set_saver(emergency_save);
    hangup_catch();
}
