#pragma once

// Helpers for the host tests: a temporary folder, environment and working
// directory changes undone on scope exit, and small file utilities.

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <ftw.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace host_test {

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
        if (path_.empty()) return;
        nftw(
            path_.c_str(),
            [](const char *p, const struct stat *, int, struct FTW *) { return std::remove(p); },
            16, FTW_DEPTH | FTW_PHYS);
    }
    const std::string &path() const { return path_; }
    std::string operator/(const std::string &name) const { return path_ + "/" + name; }

  private:
    std::string path_;
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

// Changes the working directory until scope exit.
class WorkingDir {
  public:
    explicit WorkingDir(const std::string &dir) {
        if (char *cwd = getcwd(nullptr, 0)) {
            old_ = cwd;
            std::free(cwd);
        }
        if (chdir(dir.c_str()) != 0) old_.clear();
    }
    WorkingDir(const WorkingDir &) = delete;
    WorkingDir &operator=(const WorkingDir &) = delete;
    ~WorkingDir() {
        if (!old_.empty()) (void)chdir(old_.c_str());
    }

  private:
    std::string old_;
};

inline void write_file(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The permission bits of a file, or -1 when it cannot be examined.
inline int permissions(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// How many descriptors this process has open.
inline int open_fd_count() {
    int count = 0;
    if (DIR *dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

} // namespace host_test

namespace host_test {

// Removes a file made outside a TempDir (such as a temporary file) on scope exit.
class RemovedOnExit {
  public:
    explicit RemovedOnExit(const char *path) : path_(path ? path : "") {}
    RemovedOnExit(const RemovedOnExit &) = delete;
    RemovedOnExit &operator=(const RemovedOnExit &) = delete;
    ~RemovedOnExit() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    const std::string &path() const { return path_; }

  private:
    std::string path_;
};

} // namespace host_test
