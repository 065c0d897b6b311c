// A folder of its own in /tmp for the files a benchmark makes, removed with
// everything in it when the benchmark ends (not when it fails, so that what
// went wrong can be looked at).
#pragma once

#include "common/fail.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

class scratch_folder {
  public:
    // A new folder /tmp/NAME_XXXXXX.
    explicit scratch_folder(const char *name) : path_("/tmp/" + std::string(name) + "_XXXXXX") {
        if (!mkdtemp(path_.data())) fail("cannot make a folder in /tmp");
    }
    ~scratch_folder() {
        if (DIR *d = opendir(path_.c_str())) {
            while (dirent *e = readdir(d)) {
                std::string name = e->d_name;
                if (name != "." && name != "..") unlink(file(name).c_str());
            }
            closedir(d);
        }
        if (rmdir(path_.c_str()) != 0)
            std::fprintf(stderr, "%s: cannot remove %s\n", program_invocation_short_name,
                         path_.c_str());
    }
    scratch_folder(const scratch_folder &) = delete;
    scratch_folder &operator=(const scratch_folder &) = delete;

    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Writes the text as the whole file.
inline void write_text(const std::string &name, const std::string &text) {
    FILE *fp = std::fopen(name.c_str(), "w");
    if (!fp || std::fwrite(text.data(), 1, text.size(), fp) != text.size() || std::fclose(fp) != 0)
        fail("cannot write " + name);
}

inline long file_size(const std::string &name) {
    struct stat st;
    return stat(name.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

} // namespace bench
