#include "host/files.h"
#include "host_fixtures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace host_test;

TEST(HostFiles, ModesOfFilesButNotOfFolders) {
    TempDir dir;
    std::string file = dir / "f";
    write_file(file, "");
    mkdir((dir / "folder").c_str(), 0755);

    set_filemode(file.c_str(), 0100640);
    int mode = get_filemode(file.c_str());
    EXPECT_TRUE(S_ISREG(mode));
    EXPECT_EQ(mode & 07777, 0640);
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
    set_filemode(file.c_str(), 0200);
    EXPECT_EQ(is_readonly(file.c_str()), 0);
    EXPECT_EQ(is_readonly((dir / "folder").c_str()), 0);
    EXPECT_EQ(is_readonly((dir / "missing").c_str()), 0);
}
