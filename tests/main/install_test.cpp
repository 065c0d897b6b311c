// Installing ox into a prefix of its own and using it from there, as a user
// would: started by its name along PATH, from another folder, the installed
// program reads the key map installed beside it, and its help key names the
// guide installed with it.
#include <cstdio>

#include "main/ox_session.h"

namespace {

using Install = ox_e2e::OxTest;

// Runs the command; its output, and false when it did not end with status 0.
bool run(const std::string &command, std::string *output) {
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return false;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output->append(chunk, n);
    return pclose(pipe) == 0;
}

TEST_F(Install, TheInstalledProgramFindsItsKeyMapAndItsPages) {
    test_support::scratch_dir prefix;
    std::string log;
    ASSERT_TRUE(
        run("'" OX_CMAKE "' --install '" OX_BUILD_DIR "' --prefix '" + prefix.path() + "'", &log))
        << log;
    const std::string bin = prefix.path("bin");
    EXPECT_EQ(test_support::read_file(bin + "/ox.ini"),
              test_support::read_file(OX_SOURCE_DIR "/ox.ini"));
    EXPECT_NE(test_support::read_file(prefix.path("share/doc/ox/user-guide.md")), "");
    // The page names the guide where this prefix put it.
    EXPECT_NE(test_support::read_file(prefix.path("share/man/man1/ox.1"))
                  .find(prefix.path("share/doc/ox/user\\-guide.md")),
              std::string::npos);

    write("a.txt", "alpha\nbeta\n");
    {
        test_support::working_dir elsewhere(files.path());
        session = std::make_unique<e2e::pty_terminal>(
            std::vector<std::string>{"/bin/sh", "-c", "exec ox a.txt"},
            e2e::options{
                24, 80, "xterm", {"HOME=" + files.path(), "PATH=" + bin + ":/usr/bin:/bin"}});
    }
    // No message about the key map; Down moves; F1 shows the installed key
    // map and names the installed guide; ^K X leaves.
    // clang-format off
    ASSERT_TRUE(play({{"", 2, ox_e2e::banner}, {"\x1b[Bx", 5, "xbeta"},
                      {"\x1bOP", 2, "user guide: " + prefix.path("share/doc/ox/user-guide.md")}}));
    // clang-format on
    EXPECT_TRUE(session->wait_for([&] { return session->row(0).starts_with(bin + "/ox.ini "); },
                                  "the key map shown"));
    ASSERT_TRUE(leave({"a.txt"}));
    EXPECT_EQ(read("a.txt"), "alpha\nxbeta\n");
}

} // namespace
