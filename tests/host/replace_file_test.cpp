#include "host/files.h"
#include "host/replace_file.h"
#include "host/rewrite_file.h"
#include "support/scratch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

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

TEST(HostReplaceFile, CopiesAndWritesInPlaceKeepTheFileItself) {
    scratch_dir dir;
    std::string fn = dir.path("f"), other = dir.path("other");
    write_file(fn, "old\n", 0640);
    ASSERT_EQ(link(fn.c_str(), other.c_str()), 0);
    // A copy made beside the old one, with the mode asked for.
    ASSERT_TRUE(copy_file(fn.c_str(), dir.path("f.bak").c_str(), 0100604));
    EXPECT_EQ(read_file(dir.path("f.bak")), "old\n");
    EXPECT_EQ(permissions(dir.path("f.bak")), 0604);
    EXPECT_FALSE(copy_file(dir.path("missing").c_str(), dir.path("f.bak").c_str(), 0100600));
    EXPECT_EQ(read_file(dir.path("f.bak")), "old\n") << "kept when the copy fails";
    // Written in place, every name sees the new text.
    {
        rewrite_file out(fn.c_str());
        ASSERT_TRUE(out.opened() && out.from_start());
        ASSERT_EQ(write(out.fd(), "new\n", 4), 4);
        ASSERT_TRUE(out.to_end() && write(out.fd(), "end\n", 4) == 4 && out.finish());
    }
    EXPECT_EQ(read_file(other), "new\nend\n");
    EXPECT_EQ(permissions(fn), 0640);
    // Only a regular file is opened, and without waiting for a named pipe.
    ASSERT_EQ(mkfifo(dir.path("fifo").c_str(), 0644), 0);
    for (std::string bad : {dir.path("fifo"), dir.path(""), std::string("//dev/null")}) {
        EXPECT_FALSE(rewrite_file(bad.c_str()).opened()) << bad;
        for (const char *mode : {"r", "w", "a"}) EXPECT_EQ(fopen_file(bad.c_str(), mode), nullptr);
    }
    EXPECT_FALSE(rewrite_file(dir.path("missing").c_str()).opened());
    EXPECT_EQ(fopen_file(dir.path("missing").c_str(), "r"), nullptr);
    EXPECT_TRUE(file_exists(dir.path("fifo").c_str()));
    EXPECT_FALSE(file_exists(dir.path("missing").c_str()));
}

TEST(HostReplaceFile, LinksAreFollowedToTheFileTheyName) {
    scratch_dir dir;
    ASSERT_TRUE(std::filesystem::create_directory(dir.path("sub")));
    ASSERT_EQ(symlink("sub/real", dir.path("a").c_str()), 0);
    ASSERT_EQ(symlink("a", dir.path("b").c_str()), 0);
    ASSERT_EQ(symlink(dir.path("b").c_str(), dir.path("sub/c").c_str()), 0);
    ASSERT_EQ(symlink("loop2", dir.path("loop1").c_str()), 0);
    ASSERT_EQ(symlink("loop1", dir.path("loop2").c_str()), 0);
    // A link that points nowhere gives the name it points to.
    EXPECT_STREQ(follow_links(dir.path("b").c_str()), dir.path("sub/real").c_str());
    EXPECT_STREQ(follow_links(dir.path("sub/c").c_str()), dir.path("sub/real").c_str());
    EXPECT_STREQ(follow_links(dir.path("sub").c_str()), dir.path("sub").c_str());
    EXPECT_STREQ(follow_links("plain"), "plain");
    EXPECT_EQ(follow_links(dir.path("loop1").c_str()), nullptr);
    // A new file beside another user's file keeps its owner only as root.
    write_file(dir.path("theirs"), "x\n");
    ASSERT_EQ(chown(dir.path("theirs").c_str(), 4321, 8765), 0);
    replace_file out(dir.path("theirs").c_str());
    ASSERT_TRUE(out.made());
    EXPECT_EQ(out.keeps_owner(), geteuid() == 0);
}
