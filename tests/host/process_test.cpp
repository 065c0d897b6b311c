#include "host/filename.h"
#include "host/process.h"
#include "host_fixtures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace host_test;

namespace {

// What descriptors 0, 1 and 2 refer to, to see that they come back unchanged.
std::string std_fds_identity() {
    std::string identity;
    for (int fd = 0; fd < 3; ++fd) {
        struct stat st;
        if (fstat(fd, &st) != 0)
            identity += "closed ";
        else
            identity += std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + " ";
    }
    return identity;
}

ino_t inode(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

TEST(HostProcess, ShellIsShellOrSh) {
    {
        EnvVar shell("SHELL", "/bin/zsh");
        EXPECT_STREQ(get_shell(), "/bin/zsh");
    }
    {
        EnvVar shell("SHELL", std::nullopt);
        EXPECT_STREQ(get_shell(), "sh");
    }
    {
        EnvVar shell("SHELL", "");
        EXPECT_STREQ(get_shell(), "sh");
    }
}

TEST(HostProcess, FilterRunsACommandBetweenTemporaryFiles) {
    RemovedOnExit input(get_tmp_fn());
    RemovedOnExit output(get_tmp_fn());
    ASSERT_FALSE(input.path.empty() || output.path.empty());
    write_file(input.path, "pear\napple\nfig\n");
    write_file(output.path, "left over from before, longer than the result\n");
    ino_t output_inode = inode(output.path);
    std::string before = std_fds_identity();
    int open_before = open_fd_count();

    EXPECT_EQ(xfilter("sort", input.path.c_str(), output.path.c_str()), 1);

    EXPECT_EQ(read_file(output.path), "apple\nfig\npear\n");
    EXPECT_EQ(inode(output.path), output_inode);
    EXPECT_EQ(permissions(output.path), 0600);
    EXPECT_EQ(std_fds_identity(), before);
    EXPECT_EQ(open_fd_count(), open_before);
}

TEST(HostProcess, FilterSendsErrorsToTheOutputAndIgnoresTheExitStatus) {
    TempDir dir;
    write_file(dir / "in", "");
    EXPECT_EQ(
        xfilter("echo out; echo err >&2; exit 3", (dir / "in").c_str(), (dir / "out").c_str()), 1);
    EXPECT_EQ(read_file(dir / "out"), "out\nerr\n");
}

TEST(HostProcess, FilterCreatesAPrivateOutputEvenWhenNothingIsWritten) {
    TempDir dir;
    write_file(dir / "in", "data\n");
    EXPECT_EQ(xfilter("true", (dir / "in").c_str(), (dir / "out").c_str()), 1);
    struct stat st;
    ASSERT_EQ(stat((dir / "out").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_size, 0);
}

TEST(HostProcess, EmptyFilterCommandRunsTheShellOnTheInput) {
    TempDir dir;
    EnvVar shell("SHELL", "OX_TEST_MARK=from-shell /bin/sh");
    write_file(dir / "in", "echo $OX_TEST_MARK\n");
    EXPECT_EQ(xfilter("", (dir / "in").c_str(), (dir / "out").c_str()), 1);
    EXPECT_EQ(read_file(dir / "out"), "from-shell\n");
}

TEST(HostProcess, FilterWithFilesThatCannotOpenLeavesDescriptorsAlone) {
    TempDir dir;
    mkdir((dir / "folder").c_str(), 0755);
    std::string before = std_fds_identity();
    int open_before = open_fd_count();

    EXPECT_EQ(xfilter("true", (dir / "missing").c_str(), (dir / "folder").c_str()), 1);
    EXPECT_EQ(xfilter("true", (dir / "missing").c_str(), (dir / "gone/out").c_str()), 1);
    write_file(dir / "in", "");
    EXPECT_EQ(xfilter("true", (dir / "in").c_str(), (dir / "gone/out").c_str()), 1);

    EXPECT_EQ(std_fds_identity(), before);
    EXPECT_EQ(open_fd_count(), open_before);
}
