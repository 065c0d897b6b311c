// Scratch files for tests: a folder of the test's own, environment and
// working-folder changes undone at scope exit, small file helpers, and a
// file-size limit for making writes fail (the tests run as root, whom
// permission bits do not stop).
#pragma once

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>

namespace test_support {

// A fresh folder under /tmp (or another folder), removed with everything in
// it at scope exit.
class scratch_dir {
  public:
    explicit scratch_dir(const std::string &under = "/tmp") {
        std::string pattern = under + "/ox-test-XXXXXX";
        if (mkdtemp(pattern.data())) dir_ = pattern;
    }
    ~scratch_dir() {
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    scratch_dir(const scratch_dir &) = delete;
    scratch_dir &operator=(const scratch_dir &) = delete;

    const std::string &path() const { return dir_; }
    std::string path(const std::string &name) const { return dir_ + "/" + name; }
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

// Sets (or with nullopt unsets) an environment variable until scope exit.
class env_var {
  public:
    env_var(const char *name, std::optional<std::string> value) : name_(name) {
        if (const char *old = std::getenv(name)) old_ = old;
        set(value);
    }
    ~env_var() { set(old_); }
    env_var(const env_var &) = delete;
    env_var &operator=(const env_var &) = delete;

  private:
    void set(const std::optional<std::string> &value) {
        if (value)
            setenv(name_.c_str(), value->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

// Works in another folder until scope exit.
class working_dir {
  public:
    explicit working_dir(const std::string &dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~working_dir() {
        std::error_code ignored;
        std::filesystem::current_path(old_, ignored);
    }
    working_dir(const working_dir &) = delete;
    working_dir &operator=(const working_dir &) = delete;

  private:
    std::filesystem::path old_;
};

inline void write_file(const std::string &name, const std::string &text, int mode = 0644) {
    std::ofstream(name, std::ios::binary) << text;
    chmod(name.c_str(), static_cast<mode_t>(mode));
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string read_file(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The permission bits, or -1 when there is no such file.
inline int permissions(const std::string &name) {
    struct stat st;
    return stat(name.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// While it lives, a write to a regular file past `bytes` fails with EFBIG
// instead of raising SIGXFSZ; programs started meanwhile inherit both. With
// `ignored` false SIGXFSZ keeps its handling (by default it ends the
// process), for programs that must ignore it themselves.
class file_size_limit {
  public:
    explicit file_size_limit(rlim_t bytes, bool ignored = true) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = std::signal(SIGXFSZ, ignored ? SIG_IGN : SIG_DFL);
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

} // namespace test_support
