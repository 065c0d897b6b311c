#pragma once

// Helpers for the host tests: temporary files and folders, environment and
// working directory changes undone on scope exit, and small file utilities.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace host_test {

namespace fs = std::filesystem;

// A fresh folder under /tmp, removed with everything in it on scope exit.
class TempDir {
  public:
    TempDir() {
        char name[] = "/tmp/ox-host-test-XXXXXX";
        path_ = mkdtemp(name) ? name : "";
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    const std::string &path() const { return path_; }
    std::string operator/(const std::string &name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Removes a file made outside a TempDir (such as a temporary file) on scope exit.
struct RemovedOnExit {
    explicit RemovedOnExit(const char *name) : path(name ? name : "") {}
    RemovedOnExit(const RemovedOnExit &) = delete;
    RemovedOnExit &operator=(const RemovedOnExit &) = delete;
    ~RemovedOnExit() {
        std::error_code ignored;
        if (!path.empty()) fs::remove(path, ignored);
    }
    std::string path;
};

// Sets (or with nullopt unsets) an environment variable until scope exit.
class EnvVar {
  public:
    EnvVar(const char *name, std::optional<std::string> value) : name_(name) {
        if (const char *old = std::getenv(name)) old_ = old;
        set(value);
    }
    EnvVar(const EnvVar &) = delete;
    EnvVar &operator=(const EnvVar &) = delete;
    ~EnvVar() { set(old_); }

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
class WorkingDir {
  public:
    explicit WorkingDir(const std::string &dir) : old_(fs::current_path()) {
        fs::current_path(dir);
    }
    WorkingDir(const WorkingDir &) = delete;
    WorkingDir &operator=(const WorkingDir &) = delete;
    ~WorkingDir() {
        std::error_code ignored;
        fs::current_path(old_, ignored);
    }

  private:
    fs::path old_;
};

inline void write_file(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string read_file(const std::string &path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// The permission bits of a file, or -1 when it cannot be examined.
inline int permissions(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// How many descriptors this process has open.
inline int open_fd_count() {
    return static_cast<int>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

} // namespace host_test
