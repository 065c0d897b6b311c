// File names on any bytes: typed names to host names, nested virtual fold
// names, backup names, expanded and dequoted names. Every result must fit
// its buffer, and a host name must hold only printable bytes and never lie
// under "/dev/".
//
// Input: two texts separated by a NUL byte (the containing file's name and
// the name), each cut at 600 bytes.
#include "host/filename.h"
#include "text/scan.h"
#include "text/vfold_name.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check_host_name(const char *name) {
    if (!name) return;
    size_t n = strnlen(name, OS_FN_SIZE + 1);
    if (n > OS_FN_MAX) std::abort();
    for (size_t i = 0; i < n; i++)
        if (name[i] < 0x20 || name[i] > 0x7e) std::abort();
    if (std::strncmp(name, "/dev/", 5) == 0) std::abort();
}

void check_fits(const char *text) {
    if (strnlen(text, OS_FN_SIZE + 1) > OS_FN_MAX) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string all(reinterpret_cast<const char *>(data), size);
    size_t nul = all.find('\0');
    std::string containing = all.substr(0, nul), name;
    if (nul != std::string::npos) name = all.substr(nul + 1);
    name = name.substr(0, name.find('\0'));
    if (containing.size() > 600) containing.resize(600);
    if (name.size() > 600) name.resize(600);

    check_host_name(get_os_fn(name.c_str()));
    check_host_name(get_nest_fn(containing.c_str(), name.c_str()));
    if (const char *host = get_os_fn(containing.c_str())) {
        std::string copy = host;
        const char *bak = get_bak_fn(copy.c_str());
        check_host_name(bak);
        if (bak && std::strcmp(bak, copy.c_str()) == 0) std::abort();
    }
    char expanded[OS_FN_SIZE + 100];
    std::memset(expanded, 'x', sizeof expanded);
    expand_fn(name.substr(0, OS_FN_MAX).c_str(), expanded);
    check_fits(expanded);
    if (name.size() <= LINE_MAX_TEXT) {
        char quoted[LINE_BUF_SIZE], plain[LINE_BUF_SIZE];
        dequote_vfold_fn(name.c_str(), plain);
        check_fits(plain);
        if (enquote_vfold_fn(name.c_str(), quoted)) {
            check_fits(quoted);
            // A quoted name reads back as the name itself, up to its first NUL.
            dequote_vfold_fn(quoted, plain);
            size_t lead = std::strspn(name.c_str(), " \t\n\v\f\r");
            if (lead == 0 && std::strcmp(plain, name.c_str()) != 0) std::abort();
        }
    }
    return 0;
}
