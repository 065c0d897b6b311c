#include "host/filename.h"
#include "host/mdep.h"
#include "support/scratch.h"

#include <gtest/gtest.h>
#include <pwd.h>

#include <vector>

using namespace test_support;

namespace {

// The name, or "(null)" so that refusals compare readably.
std::string str(const char *name) {
    return name ? name : "(null)";
}

using Cases = std::vector<std::pair<std::string, std::string>>; // input, expected

} // namespace

TEST(HostFilename, OsNamesExpandHomesAndRefuseWhatTheHostMustNotSee) {
    const std::string root = getpwnam("root")->pw_dir, a500(500, 'a');
    const std::optional<std::string> home = "/home/someone", none, long_home = "/" + a500.substr(1);
    const std::tuple<std::optional<std::string>, std::string, std::string> rows[] = {
        {home, "a\tb", "(null)"},
        {home, a500, a500},
        {home, a500 + "a", "(null)"},
        {home, "\\dev\\tty", "(null)"},
        {home, "/dev", "/dev"},
        {home, "~/x", "/home/someone/x"},
        {home, "~root\\x", root + "/x"},
        {home, "~nosuchuser-ox/x", "~nosuchuser-ox/x"},
        {none, "~/x", "~/x"},
        {long_home, "~/x", "(null)"},
        {"/dev", "~/tty", "(null)"},
    };
    for (const auto &[home_dir, name, expected] : rows) {
        env_var set_home("HOME", home_dir);
        EXPECT_EQ(str(get_os_fn(name.c_str())), expected) << name;
    }
}

TEST(HostFilename, ExpandReplacesVariablesWithin500Bytes) {
    env_var set("OX_DIR", "/some/dir"), unset("OX_UNSET", std::nullopt);
    env_var fits("OX_FITS", std::string(498, 'v'));
    const Cases rows = {
        {"$(OX_DIR)/a", "/some/dir/a"},
        {"$(OX_UNSET)/a", "/a"},
        {"a$(OX_DIR)b$(OX_DIR", "a/some/dirb$(OX_DIR"},
        {"ab$(OX_FITS)cd", "ab" + std::string(498, 'v')},
        {"abc$(OX_FITS)", "abc"},
        {std::string(600, 't'), std::string(500, 't')},
    };
    for (const auto &[text, expected] : rows) {
        // Exactly OS_FN_SIZE heap bytes, so that the sanitizers see a write past them.
        std::vector<char> out(OS_FN_SIZE, 'x');
        expand_fn(text.c_str(), out.data());
        EXPECT_EQ(out.data(), expected) << text;
    }
}

TEST(HostFilename, NestedNamesAreRelativeToTheContainingFile) {
    env_var home("HOME", "/home/someone");
    const std::string dir = "/" + std::string(398, 'd') + "/";
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"/src/main.c", "sub/x.c", "/src/sub/x.c"},
        {"prog.c", "lib.c", "lib.c"},
        {"/src/main.c", "~/y", "/home/someone/y"},
        {"/src/main.c", "", ""},
        {"/dev/x", "null", "(null)"},
        {dir + "f", std::string(100, 'n'), dir + std::string(100, 'n')},
        {dir + "f", std::string(101, 'n'), "(null)"},
    };
    for (const auto &[containing, name, expected] : rows)
        EXPECT_EQ(str(get_nest_fn(containing.c_str(), name.c_str())), expected) << name;
    // The result has a buffer of its own: a later get_os_fn leaves it alone.
    const char *nested = get_nest_fn("/src/main.c", "kept.c");
    get_os_fn("other");
    EXPECT_STREQ(nested, "/src/kept.c");
}

TEST(HostFilename, BackupNamesReplaceTheExtension) {
    const std::string a496(496, 'a');
    const Cases rows = {
        {"dir/prog.c", "dir/prog.bak"},
        {".profile", ".profile.bak"},
        {"dir.d/file", "dir.d/file.bak"},
        {"x.bak", "(null)"},
        {"dir/", "(null)"},
        {a496 + ".c", a496 + ".bak"},
        {a496 + "a.c", "(null)"},
    };
    for (const auto &[name, expected] : rows) EXPECT_EQ(str(get_bak_fn(name.c_str())), expected);
}

// Along a variable's folders; the initialisation file in the home folder,
// beside the program or along PATH; temporary files.
TEST(HostFilename, SearchPathTheInitialisationFileAndTemporaryFiles) {
    scratch_dir dir;
    working_dir cwd(dir.path());
    // "a" holds a folder named prog, "b" and "c" each a file; "home" a folder
    // named like the home file (.oxrc); "inst" a key map beside its program,
    // "bare" none.
    for (const char *folder :
         {"a", "a/prog", "b", "c", "home", "home/.oxrc", "bin", "inst", "bare"})
        mkdir(dir.path(folder).c_str(), 0755);
    for (const char *file : {"b/prog", "c/prog", "inst/ox", "inst/ox.ini", "bare/ox"})
        write_file(dir.path(file), "");
    const std::string two = dir.path("b"), found = two + "/prog";
    const Cases rows = {
        {":" + dir.path("gone") + "::" + dir.path("a") + ":" + two + "/:" + dir.path("c"), found},
        // A candidate over 500 bytes is passed over; only 2000 bytes of the variable are read.
        {"/" + std::string(500, 'x') + ":" + two, found},
        {std::string(2000 - two.size(), ':') + two, found},
        {std::string(2001 - two.size(), ':') + two, "(null)"},
    };
    for (const auto &[path, expected] : rows) {
        env_var set_path("OX_PATH", path);
        EXPECT_EQ(str(search_path("prog", "OX_PATH")), expected) << path.size();
    }
    env_var home("HOME", dir.path("home")), path("PATH", dir.path("nowhere"));
    mdep_init();
    EXPECT_EQ(str(get_ox_fn("ox")), "ox.ini") << "found nowhere";
    // Found along PATH; the folder named like the home file is not taken.
    write_file(dir.path("bin/ox"), "");
    env_var bin_path("PATH", dir.path("nowhere:") + dir.path("bin"));
    const Cases programs = {
        {"ox", dir.path("bin/ox.ini")},
        {dir.path("inst/ox"), dir.path("inst/ox.ini")},
        {"inst/ox", "inst/ox.ini"},
        {dir.path("bare/ox"), dir.path("bin/ox.ini")},
        {dir.path("gone/ox"), dir.path("bin/ox.ini")},
    };
    for (const auto &[program, expected] : programs)
        EXPECT_EQ(str(get_ox_fn(program.c_str())), expected);
    // The home file comes before everything, under the name the program was started as.
    write_file(dir.path("home/.oxedrc"), "");
    write_file(dir.path("inst/oxed.ini"), "");
    EXPECT_EQ(str(get_ox_fn(dir.path("inst/oxed").c_str())), dir.path("home/.oxedrc"));
    // The name itself, relative to the working directory, comes first.
    write_file(dir.path("prog"), "");
    EXPECT_EQ(str(search_path("prog", "OX_UNSET_PATH")), "prog");
    // Temporary files are made at once from /tmp/oxXXXXXX, so that nothing
    // can be planted under the name, and are the user's alone.
    for (const std::string &name : {str(get_tmp_fn()), str(get_tmp_fn())}) {
        EXPECT_TRUE(name.size() == 13 && name.rfind("/tmp/ox", 0) == 0) << name;
        EXPECT_EQ(permissions(name), 0600) << name;
        unlink(name.c_str());
    }
}
