#include "host/files.h"
#include "host_fixtures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace host_test;

TEST(HostFiles, OpenWriteAppendAndRead) {
    TempDir dir;
    std::string name = dir / "f";
    FILE *out = fopen_file(name.c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fputs("one\n", out);
    std::fclose(out);
    FILE *more = fopen_file(name.c_str(), "a");
    ASSERT_NE(more, nullptr);
    std::fputs("two\n", more);
    std::fclose(more);
    EXPECT_EQ(read_file(name), "one\ntwo\n");

    FILE *in = fopen_file(name.c_str(), "r");
    ASSERT_NE(in, nullptr);
    std::fclose(in);
    EXPECT_EQ(fopen_file((dir / "missing").c_str(), "r"), nullptr);
    EXPECT_EQ(fopen_file((dir / "gone/f").c_str(), "w"), nullptr);
}

TEST(HostFiles, UnlinkAndRenameReportTheirOutcome) {
    TempDir dir;
    write_file(dir / "a", "text");
    mkdir((dir / "folder").c_str(), 0755);

    EXPECT_EQ(rename_file((dir / "a").c_str(), (dir / "b").c_str()), 1);
    EXPECT_EQ(read_file(dir / "b"), "text");
    EXPECT_EQ(rename_file((dir / "a").c_str(), (dir / "c").c_str()), 0);
    EXPECT_EQ(rename_file((dir / "b").c_str(), (dir / "gone/b").c_str()), 0);
    EXPECT_EQ(rename_file((dir / "b").c_str(), (dir / "folder").c_str()), 0);

    EXPECT_EQ(unlink_file((dir / "b").c_str()), 1);
    EXPECT_EQ(unlink_file((dir / "b").c_str()), 0);
    EXPECT_EQ(unlink_file((dir / "folder").c_str()), 0);
    struct stat st;
    EXPECT_EQ(stat((dir / "folder").c_str(), &st), 0);
}

TEST(HostFiles, ModesOfFilesButNotOfFolders) {
    TempDir dir;
    std::string file = dir / "f";
    write_file(file, "");
    mkdir((dir / "folder").c_str(), 0755);

    set_filemode(file.c_str(), 0100640);
    EXPECT_EQ(permissions(file), 0640);
    int mode = get_filemode(file.c_str());
    EXPECT_TRUE(S_ISREG(mode));
    EXPECT_EQ(mode & 07777, 0640);
    set_filemode(file.c_str(), 04755);
    EXPECT_EQ(get_filemode(file.c_str()) & 07777, 04755);

    EXPECT_EQ(get_filemode((dir / "folder").c_str()), -1);
    EXPECT_EQ(get_filemode((dir / "missing").c_str()), -1);
}

TEST(HostFiles, ReadonlyWhenTheOwnerCannotWrite) {
    TempDir dir;
    std::string file = dir / "f";
    write_file(file, "");
    mkdir((dir / "folder").c_str(), 0555);

    set_filemode(file.c_str(), 0444);
    EXPECT_EQ(is_readonly(file.c_str()), 1);
    set_filemode(file.c_str(), 0044);
    EXPECT_EQ(is_readonly(file.c_str()), 1);
    set_filemode(file.c_str(), 0200);
    EXPECT_EQ(is_readonly(file.c_str()), 0);
    EXPECT_EQ(is_readonly((dir / "folder").c_str()), 0);
    EXPECT_EQ(is_readonly((dir / "missing").c_str()), 0);
}
