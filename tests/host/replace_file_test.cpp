#include "host/replace_file.h"
#include "support/scratch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

using namespace test_support;

TEST(HostReplaceFile, NewContentsTakeTheOldPlaceModeAndOwner) {
    scratch_dir dir;
    std::string fn = dir.path("notes");
    write_file(fn, "old\n", 0640);
    ASSERT_EQ(chown(fn.c_str(), 1234, 5678), 0);
    replace_file out(fn.c_str());
    ASSERT_TRUE(out.made());
    EXPECT_EQ(std::string(out.name()).rfind(dir.path(".notes.ox"), 0), 0u) << out.name();
    EXPECT_EQ(permissions(out.name()), 0600);
    ASSERT_TRUE(out.copy_old());
    std::ofstream(out.name(), std::ios::app) << "new\n";
    EXPECT_EQ(read_file(fn), "old\n");
    ASSERT_TRUE(out.flush());
    out.take_over(0100640);
    ASSERT_TRUE(out.put_in_place());
    EXPECT_EQ(read_file(fn), "old\nnew\n");
    EXPECT_EQ(permissions(fn), 0640);
    struct stat st;
    ASSERT_EQ(stat(fn.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
    EXPECT_EQ(dir.names(), std::set<std::string>{"notes"});
}

TEST(HostReplaceFile, ANewFileGetsTheOrdinaryMode) {
    scratch_dir dir;
    std::string fn = dir.path(std::string(255, 'n'));
    mode_t mask = umask(027);
    replace_file out(fn.c_str());
    ASSERT_TRUE(out.made());
    EXPECT_TRUE(out.copy_old());
    out.take_over(-1);
    EXPECT_TRUE(out.put_in_place());
    umask(mask);
    EXPECT_EQ(permissions(fn), 0640);
    EXPECT_EQ(read_file(fn), "");
}

TEST(HostReplaceFile, UnplacedFileLeavesNothingBehind) {
    scratch_dir dir;
    std::string fn = dir.path("kept");
    write_file(fn, "kept\n");
    {
        replace_file out(fn.c_str());
        ASSERT_TRUE(out.made());
        write_file(out.name(), "lost\n");
    }
    EXPECT_EQ(dir.names(), std::set<std::string>{"kept"});
    mkdir(dir.path("folder").c_str(), 0755);
    for (std::string bad : {std::string(), dir.path("folder"), dir.path("gone/f")}) {
        replace_file out(bad.c_str());
        EXPECT_FALSE(out.made()) << bad;
    }
    // A folder now in the file's place can be neither copied nor replaced.
    replace_file out(fn.c_str());
    std::filesystem::remove(fn);
    mkdir(fn.c_str(), 0755);
    EXPECT_FALSE(out.copy_old());
    EXPECT_FALSE(out.put_in_place());
    out.discard();
    EXPECT_EQ(dir.names(), (std::set<std::string>{"folder", "kept"}));
}
