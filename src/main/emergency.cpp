#include "main/emergency.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "display/terminal.h"
#include "host/hangup.h"
#include "host/mdep.h"
#include "host/replace_file.h"
#include "host/write_calls.h"
#include "text/buff_file.h"
#include "text/buffer.h"

namespace {

// Writes the buffer to a new emergency file for the base name: base".save",
// else base".save.1" and so on (after 100 taken names it gives up). The text
// is written whole beside it first and then given the free name, so that an
// emergency file is whole whenever it is there: true, with its name, when the
// whole buffer reached the disk.
bool save_as(const text_buffer *b, const std::string &base, std::string *made) {
    replace_file out((base + ".save").c_str());
    FILE *fp = out.made() ? write_calls::stream(out.fd(), false) : nullptr;
    if (!fp) return false;
    bool ok = buff_write_to(b, fp).ok;
    if (std::fclose(fp) != 0 || !ok || !out.flush()) return false;
    for (int n = 0; n < 100; n++) {
        std::string name = base + ".save" + (n ? "." + std::to_string(n) : "");
        int put = out.put_as_new(name.c_str());
        if (put < 0) return false;
        if (put > 0) {
            *made = name;
            return true;
        }
    }
    return false;
}

// The line for the standard error about one buffer.
std::string save_buffer(const text_buffer *b) {
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
    for (text_buffer *b : buffs)
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
