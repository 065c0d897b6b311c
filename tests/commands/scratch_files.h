// Files for the tests of writing back: a folder of the test's own, removed
// with everything in it, small file helpers, and a limit on file sizes.
#pragma once

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

class scratch_folder {
  public:
    scratch_folder() {
        char pattern[] = "/tmp/ox_exitXXXXXX";
        if (mkdtemp(pattern)) dir_ = pattern;
    }
    ~scratch_folder() { std::filesystem::remove_all(dir_); }
    scratch_folder(const scratch_folder &) = delete;
    scratch_folder &operator=(const scratch_folder &) = delete;

    std::string path(const std::string &base) const { return dir_ + "/" + base; }
    // The names in the folder, to see that nothing stray is left.
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto &e : std::filesystem::directory_iterator(dir_))
            found.insert(e.path().filename());
        return found;
    }

  private:
    std::string dir_;
};

inline void put_file(const std::string &name, const std::string &text, int mode = 0644) {
    std::ofstream(name, std::ios::binary) << text;
    chmod(name.c_str(), static_cast<mode_t>(mode));
}

// The file's bytes, or "<missing>".
inline std::string contents(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The permission bits, or -1 when there is no such file.
inline int perms(const std::string &name) {
    struct stat st;
    return stat(name.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// While it lives, a write to a regular file past `bytes` fails with EFBIG
// instead of raising SIGXFSZ; programs started meanwhile keep both.
class file_size_limit {
  public:
    explicit file_size_limit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = saved_;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, old_handler_);
    }
    file_size_limit(const file_size_limit &) = delete;
    file_size_limit &operator=(const file_size_limit &) = delete;

  private:
    rlimit saved_{};
    void (*old_handler_)(int);
};
