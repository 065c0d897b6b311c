#include "main/user_guide.h"

#include "host/filename.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// The absolute, tidy form of the name when it is a readable file, else "".
std::string readable(const fs::path &name) {
    std::error_code error;
    fs::path whole = fs::absolute(name, error);
    if (error) return "";
    std::string tidy = whole.lexically_normal().string();
    if (tidy.size() > static_cast<size_t>(OS_FN_MAX) || !is_readable_file(tidy.c_str())) return "";
    return tidy;
}

// The guide beside the program, as the installation lays them out.
std::string installed_with(const char *program_path) {
    const char *program = std::strchr(program_path, '/') != nullptr
                              ? program_path
                              : search_path(program_path, "PATH");
    if (program == nullptr) return "";
    fs::path folder = fs::path(program).parent_path();
    if (folder.empty()) folder = ".";
    return readable(folder / OX_GUIDE_FROM_BIN / "user-guide.md");
}

} // namespace

std::string find_user_guide(const char *program_path) {
    for (const std::string &guide :
         {installed_with(program_path), readable(OX_SOURCE_GUIDE), readable(OX_INSTALLED_GUIDE)})
        if (!guide.empty()) return guide;
    return "";
}
