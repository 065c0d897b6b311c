#include "host/filename.h"

#include "host/mdep.h"
#include "host/write_calls.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using os_name = char[OS_FN_SIZE];

constexpr std::size_t path_scan_limit = 2000;

// Writes the parts one after another into out; false when they need more than OS_FN_MAX bytes.
bool concat(os_name &out, std::initializer_list<std::string_view> parts) {
    std::size_t len = 0;
    for (std::string_view part : parts) {
        if (part.size() > OS_FN_MAX - len) return false;
        std::memcpy(out + len, part.data(), part.size());
        len += part.size();
    }
    out[len] = '\0';
    return true;
}

const char *keep(os_name &result, const os_name &name) {
    std::memcpy(result, name, std::strlen(name) + 1);
    return result;
}

// The value of the environment variable whose name is the n bytes at `name`, or null.
const char *env_value(const char *name, std::size_t n) {
    if (std::memchr(name, '=', n)) return nullptr;
    for (char **entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, name, n) == 0 && (*entry)[n] == '=') return *entry + n + 1;
    }
    return nullptr;
}

// The directory "~user" stands for, given the user part; null when there is none.
const char *tilde_dir(std::string_view user) {
    if (user.empty()) return std::getenv("HOME");
    os_name login;
    if (!concat(login, {user})) return nullptr;
    const struct passwd *entry = getpwnam(login);
    return entry ? entry->pw_dir : nullptr;
}

} // namespace

const char *get_os_fn(const char *name) {
    static os_name result;
    if (!name) return nullptr;
    os_name out;
    std::size_t len = 0;
    if (name[0] == '~') {
        std::string_view after(name + 1);
        std::size_t end = after.find('/');
        if (end == std::string_view::npos) end = after.find('\\');
        if (end == std::string_view::npos) end = after.size();
        if (const char *dir = tilde_dir(after.substr(0, end))) {
            if (!concat(out, {dir})) return nullptr;
            len = std::strlen(out);
            name += 1 + end;
        }
    }
    for (; *name; ++name) {
        unsigned char c = *name;
        if (c < 0x20 || c > 0x7E || len == OS_FN_MAX) return nullptr;
        out[len++] = c == '\\' ? '/' : static_cast<char>(c);
    }
    out[len] = '\0';
    if (std::strncmp(out, "/dev/", 5) == 0) return nullptr;
    return keep(result, out);
}

int cmp_os_fn(const char *a, const char *b) {
    return std::strcmp(a, b);
}

void get_match_fn(const char *host_name, char *out) {
    std::size_t len = strnlen(host_name, OS_FN_MAX);
    std::memmove(out, host_name, len);
    out[len] = '\0';
}

void expand_fn(const char *text, char *out) {
    os_name expanded;
    std::size_t len = 0;
    auto fits = [&](const char *bytes, std::size_t n) {
        if (n > OS_FN_MAX - len) return false;
        std::memcpy(expanded + len, bytes, n);
        len += n;
        return true;
    };
    for (const char *p = text; *p;) {
        const char *close = p[0] == '$' && p[1] == '(' ? std::strchr(p + 2, ')') : nullptr;
        if (close) {
            const char *value = env_value(p + 2, close - (p + 2));
            if (value && !fits(value, std::strlen(value))) break;
            p = close + 1;
        } else {
            if (!fits(p, 1)) break;
            ++p;
        }
    }
    expanded[len] = '\0';
    std::memcpy(out, expanded, len + 1);
}

const char *get_nest_fn(const char *containing, const char *name) {
    static os_name result;
    if (!name) return nullptr;
    if (!name[0]) {
        result[0] = '\0';
        return result;
    }
    const char *host_name;
    if (!containing || !containing[0] || name[0] == '/' || name[0] == '\\' || name[0] == '~') {
        host_name = get_os_fn(name);
    } else {
        const char *slash = std::strrchr(containing, '/');
        std::string_view dir(containing, slash ? slash + 1 - containing : 0);
        os_name joined;
        if (!concat(joined, {dir, name})) return nullptr;
        host_name = get_os_fn(joined);
    }
    if (!host_name) return nullptr;
    std::memcpy(result, host_name, std::strlen(host_name) + 1);
    return result;
}

const char *get_ox_fn(const char *program_path) {
    static os_name result;
    const char *slash = std::strrchr(program_path, '/');
    std::string_view base = slash ? slash + 1 : program_path;
    std::string_view home = mdep_home_dir();
    std::string_view separator = !home.empty() && home.back() == '/' ? "" : "/";
    os_name candidate;
    if (concat(candidate, {home, separator, ".", base, "rc"}) && is_readable_file(candidate)) {
        return keep(result, candidate);
    }
    // Started by a path ("/usr/local/bin/ox", "./ox"), the program is that
    // file, whichever one PATH would find first; its key map is beside it.
    if (slash && concat(candidate, {program_path, ".ini"}) && is_readable_file(candidate)) {
        return keep(result, candidate);
    }
    const char *found = search_path(base.data(), "PATH");
    if (found && concat(candidate, {found, ".ini"})) return keep(result, candidate);
    if (concat(candidate, {base, ".ini"})) return keep(result, candidate);
    return nullptr;
}

const char *search_path(const char *name, const char *variable) {
    static os_name result;
    os_name candidate;
    if (concat(candidate, {name}) && is_readable_file(candidate)) return keep(result, candidate);
    const char *value = std::getenv(variable);
    if (!value) return nullptr;
    std::string_view dirs(value, strnlen(value, path_scan_limit));
    while (!dirs.empty()) {
        std::size_t colon = dirs.find(':');
        std::string_view dir = dirs.substr(0, colon);
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
        if (dir.empty()) continue;
        std::string_view separator = dir.back() == '/' ? "" : "/";
        if (concat(candidate, {dir, separator, name}) && is_readable_file(candidate)) {
            return keep(result, candidate);
        }
    }
    return nullptr;
}

int is_readable_file(const char *path) {
    // Non-blocking, so that a named pipe is refused instead of waited on.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st;
    int regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    return regular;
}

const char *get_bak_fn(const char *host_name) {
    static os_name result;
    std::string_view path(host_name);
    std::size_t slash = path.rfind('/');
    std::size_t base_at = slash == std::string_view::npos ? 0 : slash + 1;
    std::string_view base = path.substr(base_at);
    if (base.empty()) return nullptr;
    std::size_t dot = base.rfind('.');
    std::string_view stem = path;
    if (dot != std::string_view::npos && dot > 0) {
        if (base.substr(dot) == ".bak") return nullptr;
        stem = path.substr(0, base_at + dot);
    }
    os_name backup;
    if (!concat(backup, {stem, ".bak"})) return nullptr;
    return keep(result, backup);
}

const char *get_tmp_fn() {
    static os_name result;
    char name[] = "/tmp/oxXXXXXX";
    int fd = write_calls::make_temporary(name);
    if (fd < 0) return nullptr;
    fchmod(fd, 0600);
    write_calls::close(fd);
    std::memcpy(result, name, sizeof name);
    return result;
}
