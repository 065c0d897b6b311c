#include "host/filename.h"
#include "host/mdep.h"
#include "host_fixtures.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <vector>

using namespace host_test;

namespace {

// The name as a string, or "(null)" so that refusals compare readably.
std::string str(const char *name) {
    return name ? name : "(null)";
}

std::string os_fn(const std::string &name) {
    return str(get_os_fn(name.c_str()));
}

std::string nest_fn(const std::string &containing, const std::string &name) {
    return str(get_nest_fn(containing.c_str(), name.c_str()));
}

std::string bak_fn(const std::string &name) {
    return str(get_bak_fn(name.c_str()));
}

// expand_fn into a buffer of exactly OS_FN_SIZE heap bytes, so that the
// sanitizers catch any write past it.
std::string expand(const std::string &text) {
    std::vector<char> out(OS_FN_SIZE, 'x');
    expand_fn(text.c_str(), out.data());
    return out.data();
}

} // namespace

TEST(HostFilename, OsNameRefusesUnprintableLongAndDeviceNames) {
    EXPECT_EQ(os_fn("dir/file.c"), "dir/file.c");
    EXPECT_EQ(os_fn("a\\b\\c"), "a/b/c");
    EXPECT_EQ(os_fn(""), "");
    EXPECT_EQ(os_fn("a\tb"), "(null)");
    EXPECT_EQ(os_fn("del\x7f"), "(null)");
    EXPECT_EQ(os_fn("caf\xc3\xa9"), "(null)");
    EXPECT_EQ(os_fn(std::string(500, 'a')), std::string(500, 'a'));
    EXPECT_EQ(os_fn(std::string(501, 'a')), "(null)");
    EXPECT_EQ(os_fn("/dev/null"), "(null)");
    EXPECT_EQ(os_fn("\\dev\\tty"), "(null)");
    EXPECT_EQ(os_fn("/dev"), "/dev");
    EXPECT_EQ(get_os_fn(nullptr), nullptr);
}

TEST(HostFilename, OsNameExpandsTheHomeDirectory) {
    EnvVar home("HOME", "/home/someone");
    EXPECT_EQ(os_fn("~/x"), "/home/someone/x");
    EXPECT_EQ(os_fn("~"), "/home/someone");
    EXPECT_EQ(os_fn("~\\x\\y"), "/home/someone/x/y");

    const struct passwd *root = getpwnam("root");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(os_fn("~root/x"), std::string(root->pw_dir) + "/x");
    EXPECT_EQ(os_fn("~root"), root->pw_dir);
    EXPECT_EQ(os_fn("~root\\x"), std::string(root->pw_dir) + "/x");
    EXPECT_EQ(os_fn("~nosuchuser-ox/x"), "~nosuchuser-ox/x");
}

TEST(HostFilename, OsNameWithoutHomeKeepsTheTilde) {
    EnvVar home("HOME", std::nullopt);
    EXPECT_EQ(os_fn("~/x"), "~/x");
}

TEST(HostFilename, OsNameLimitsTheHomeDirectoryAndWhatFollows) {
    {
        EnvVar home("HOME", "/" + std::string(499, 'h'));
        EXPECT_EQ(os_fn("~"), "/" + std::string(499, 'h'));
        EXPECT_EQ(os_fn("~/x"), "(null)");
    }
    {
        EnvVar home("HOME", "/" + std::string(500, 'h'));
        EXPECT_EQ(os_fn("~"), "(null)");
    }
    {
        EnvVar home("HOME", "/dev");
        EXPECT_EQ(os_fn("~/tty"), "(null)");
    }
}

TEST(HostFilename, ExpandReplacesVariables) {
    EnvVar set("OX_TEST_DIR", "/some/dir");
    EnvVar unset("OX_TEST_UNSET", std::nullopt);
    EXPECT_EQ(expand("$(OX_TEST_DIR)/a"), "/some/dir/a");
    EXPECT_EQ(expand("x$(OX_TEST_DIR)$(OX_TEST_DIR)"), "x/some/dir/some/dir");
    EXPECT_EQ(expand("$(OX_TEST_UNSET)/a"), "/a");
    EXPECT_EQ(expand("$(OX_TEST_DIR"), "$(OX_TEST_DIR");
    EXPECT_EQ(expand("a$(OX_TEST_DIR)b$(OX_TEST_DIR"), "a/some/dirb$(OX_TEST_DIR");
    EXPECT_EQ(expand("$OX_TEST_DIR $ ( ) $"), "$OX_TEST_DIR $ ( ) $");
    EXPECT_EQ(expand("$(OX_TEST_DIR=x)"), "");
    EXPECT_EQ(expand(""), "");

    char in_place[OS_FN_SIZE] = "$(OX_TEST_DIR)/b";
    expand_fn(in_place, in_place);
    EXPECT_STREQ(in_place, "/some/dir/b");
}

TEST(HostFilename, ExpandStopsAtFiveHundredBytes) {
    EnvVar fits("OX_TEST_FITS", std::string(498, 'v'));
    EXPECT_EQ(expand("ab$(OX_TEST_FITS)"), "ab" + std::string(498, 'v'));
    EXPECT_EQ(expand("abc$(OX_TEST_FITS)de"), "abc");
    EXPECT_EQ(expand("ab$(OX_TEST_FITS)cd"), "ab" + std::string(498, 'v'));
    EXPECT_EQ(expand(std::string(600, 't')), std::string(500, 't'));
    EnvVar huge("OX_TEST_HUGE", std::string(5000, 'v'));
    EXPECT_EQ(expand("x$(OX_TEST_HUGE)y"), "x");
}

TEST(HostFilename, NestedNameIsRelativeToTheContainingFile) {
    EnvVar home("HOME", "/home/someone");
    EXPECT_EQ(nest_fn("/src/main.c", "sub/x.c"), "/src/sub/x.c");
    EXPECT_EQ(nest_fn("/src/main.c", "sub\\x.c"), "/src/sub/x.c");
    EXPECT_EQ(nest_fn("prog.c", "lib.c"), "lib.c");
    EXPECT_EQ(nest_fn("", "a\\b"), "a/b");
    EXPECT_EQ(nest_fn("/src/main.c", "/abs/y"), "/abs/y");
    EXPECT_EQ(nest_fn("/src/main.c", "~/y"), "/home/someone/y");
    EXPECT_EQ(nest_fn("/src/main.c", ""), "");
    EXPECT_EQ(nest_fn("/src/main.c", "a\tb"), "(null)");
    EXPECT_EQ(nest_fn("/dev/x", "null"), "(null)");

    std::string dir = "/" + std::string(398, 'd') + "/";
    EXPECT_EQ(nest_fn(dir + "f", std::string(100, 'n')), dir + std::string(100, 'n'));
    EXPECT_EQ(nest_fn(dir + "f", std::string(101, 'n')), "(null)");

    // The result has a buffer of its own: a later get_os_fn leaves it alone.
    const char *nested = get_nest_fn("/src/main.c", "kept.c");
    get_os_fn("other");
    EXPECT_STREQ(nested, "/src/kept.c");
}

TEST(HostFilename, BackupNameReplacesTheExtension) {
    EXPECT_EQ(bak_fn("dir/prog.c"), "dir/prog.bak");
    EXPECT_EQ(bak_fn("notes"), "notes.bak");
    EXPECT_EQ(bak_fn(".profile"), ".profile.bak");
    EXPECT_EQ(bak_fn("a.b.c"), "a.b.bak");
    EXPECT_EQ(bak_fn("dir.d/file"), "dir.d/file.bak");
    EXPECT_EQ(bak_fn("x.BAK"), "x.bak");
    EXPECT_EQ(bak_fn("x.bak"), "(null)");
    EXPECT_EQ(bak_fn("dir/"), "(null)");
    EXPECT_EQ(bak_fn(""), "(null)");
    EXPECT_EQ(bak_fn(std::string(496, 'a') + ".c"), std::string(496, 'a') + ".bak");
    EXPECT_EQ(bak_fn(std::string(497, 'a') + ".c"), "(null)");
}

TEST(HostFilename, ReadableFileIsARegularFileThatOpens) {
    TempDir dir;
    write_file(dir / "file", "x");
    mkdir((dir / "folder").c_str(), 0755);
    mkfifo((dir / "fifo").c_str(), 0644);
    EXPECT_EQ(is_readable_file((dir / "file").c_str()), 1);
    EXPECT_EQ(is_readable_file((dir / "folder").c_str()), 0);
    EXPECT_EQ(is_readable_file((dir / "fifo").c_str()), 0);
    EXPECT_EQ(is_readable_file((dir / "missing").c_str()), 0);
}

TEST(HostFilename, SearchPathWalksTheVariable) {
    TempDir dir;
    WorkingDir cwd(dir.path());
    for (const char *folder : {"one", "two", "three"}) mkdir((dir / folder).c_str(), 0755);
    write_file(dir / "two/prog", "");
    write_file(dir / "three/prog", "");
    mkdir((dir / "one/prog").c_str(), 0755);

    EnvVar path("OX_TEST_PATH", ":" + (dir / "gone") + "::" + (dir / "one") + ":" + (dir / "two/") +
                                    ":" + (dir / "three"));
    EXPECT_EQ(str(search_path("prog", "OX_TEST_PATH")), dir / "two/prog");
    EXPECT_EQ(search_path("nothing", "OX_TEST_PATH"), nullptr);
    EXPECT_EQ(search_path("prog", "OX_TEST_UNSET_PATH"), nullptr);

    // The name itself, relative to the working directory, comes first.
    write_file(dir / "prog", "");
    EXPECT_EQ(str(search_path("prog", "OX_TEST_PATH")), "prog");
}

TEST(HostFilename, SearchPathLimitsItsScan) {
    TempDir dir;
    WorkingDir cwd(dir.path());
    mkdir((dir / "bin").c_str(), 0755);
    write_file(dir / "bin/prog", "");
    std::string bin = dir / "bin";
    {
        // A candidate over 500 bytes is passed over, not cut short.
        EnvVar path("OX_TEST_PATH", "/" + std::string(500, 'x') + ":" + bin);
        EXPECT_EQ(str(search_path("prog", "OX_TEST_PATH")), bin + "/prog");
    }
    {
        // Only the first 2000 bytes of the variable are read.
        EnvVar path("OX_TEST_PATH", std::string(2000 - bin.size(), ':') + bin);
        EXPECT_EQ(str(search_path("prog", "OX_TEST_PATH")), bin + "/prog");
    }
    {
        EnvVar path("OX_TEST_PATH", std::string(2001 - bin.size(), ':') + bin);
        EXPECT_EQ(search_path("prog", "OX_TEST_PATH"), nullptr);
    }
}

TEST(HostFilename, InitialisationFileIsInHomeOrBesideTheProgram) {
    TempDir dir;
    WorkingDir cwd(dir.path());
    mkdir((dir / "home").c_str(), 0755);
    mkdir((dir / "bin").c_str(), 0755);
    EnvVar home("HOME", dir / "home");
    EnvVar path("PATH", dir / "nowhere");
    mdep_init();

    EXPECT_EQ(str(get_ox_fn("/usr/bin/ox")), "ox.ini");
    write_file(dir / "bin/ox", "");
    {
        EnvVar bin_path("PATH", dir / "nowhere:" + dir / "bin");
        EXPECT_EQ(str(get_ox_fn("/usr/bin/ox")), dir / "bin/ox.ini");
        mkdir((dir / "home/.oxrc").c_str(), 0755);
        EXPECT_EQ(str(get_ox_fn("/usr/bin/ox")), dir / "bin/ox.ini");
    }
    write_file(dir / "home/.oxedrc", "");
    EXPECT_EQ(str(get_ox_fn("ox/oxed")), dir / "home/.oxedrc");
    {
        EnvVar slash_home("HOME", dir / "home/");
        mdep_init();
        EXPECT_EQ(str(get_ox_fn("oxed")), dir / "home/.oxedrc");
    }
    mdep_init();
}

TEST(HostFilename, TemporaryFileIsCreatedPrivateAndFresh) {
    RemovedOnExit first(get_tmp_fn());
    RemovedOnExit second(get_tmp_fn());
    ASSERT_FALSE(first.path.empty() || second.path.empty());
    EXPECT_NE(first.path, second.path);
    for (const std::string &name : {first.path, second.path}) {
        EXPECT_EQ(name.rfind("/tmp/ox", 0), 0u) << name;
        EXPECT_EQ(name.size(), std::string("/tmp/oxXXXXXX").size()) << name;
        struct stat st;
        ASSERT_EQ(lstat(name.c_str(), &st), 0) << name;
        EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
        EXPECT_EQ(st.st_mode & 07777, 0600u) << name;
        EXPECT_EQ(st.st_size, 0) << name;
    }
}
