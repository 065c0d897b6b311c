#include "host/replace_file.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

using namespace test_support;

TEST(HostReplaceFile, NewContentsTakeTheOldPlaceModeAndOwnerOnlyWhenWhole) {
    scratch_dir dir;
    std::string fn = dir.path(std::string(255, 'n')); // the longest name a folder takes
    write_file(fn, "old\n", 0640);
    ASSERT_EQ(chown(fn.c_str(), 1234, 5678), 0);
    // Dropped before it is put in place, a new file goes with what was written to it.
    write_file(replace_file(fn.c_str()).name(), "lost\n");
    replace_file out(fn.c_str());
    ASSERT_TRUE(out.made() && out.copy_old());
    EXPECT_EQ(permissions(out.name()), 0600);
    std::ofstream(out.name(), std::ios::app) << "new\n";
    EXPECT_EQ(read_file(fn), "old\n");
    ASSERT_TRUE(out.flush());
    out.take_over(0100640);
    ASSERT_TRUE(out.put_in_place());
    EXPECT_EQ(read_file(fn), "old\nnew\n");
    struct stat st;
    ASSERT_EQ(stat(fn.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_TRUE(st.st_uid == 1234 && st.st_gid == 5678);
    EXPECT_EQ(dir.names().size(), 1u);
    // Nothing is made for no name, a folder or a folder that has gone.
    for (std::string bad : {std::string(), dir.path(""), dir.path("gone/f")})
        EXPECT_FALSE(replace_file(bad.c_str()).made()) << bad;
}
