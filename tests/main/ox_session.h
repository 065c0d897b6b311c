// Running the ox program in a pseudo-terminal (tests/e2e), in a folder of its
// own: files are written there and named by their short names, HOME is that
// folder (so no ~/.oxrc of the user's is read) and the program's own folder
// leads PATH (so the ox.ini beside it is the default initialisation file).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "e2e/pty_terminal.h"

namespace ox_e2e {

inline const std::string banner = "Birch Editor for Sun UNIX, 23/7/99 R.Moss";

// An initialisation file with the keys the tests use besides typing: ^K a
// prefix with ^K X to exit and ^K Q to abort.
inline const std::string exit_keys = "key_prefix \"^K\"\n"
                                     "key_bind \"^K ^X\" \"other_exit yes\"\n"
                                     "key_bind \"^K ^Q\" \"other_abort yes\"\n";

// Waits until the first status row ends in the line and column "<line> <column>".
inline testing::AssertionResult at_position(e2e::pty_terminal &t, const std::string &position) {
    return t.wait_for(
        [&] {
            std::string row = t.row(0);
            return row.size() > position.size() &&
                   row.compare(row.size() - position.size() - 1, std::string::npos,
                               " " + position) == 0;
        },
        "the status row to end in \"" + position + "\"");
}

class OxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/ox-main-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override {
        session.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::string path(const std::string &name) const { return dir + "/" + name; }
    void write(const std::string &name, const std::string &bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string &name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool exists(const std::string &name) const { return std::filesystem::exists(path(name)); }

    // Starts ox with these arguments in the folder.
    e2e::pty_terminal &start(const std::vector<std::string> &args, e2e::options opts = {}) {
        std::vector<std::string> argv{OX_PROGRAM};
        argv.insert(argv.end(), args.begin(), args.end());
        std::string program_dir = std::filesystem::path(OX_PROGRAM).parent_path();
        const char *inherited = std::getenv("PATH");
        opts.env.push_back("HOME=" + dir);
        opts.env.push_back("PATH=" + program_dir + ":" + (inherited ? inherited : "/usr/bin:/bin"));
        std::filesystem::path was = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        session = std::make_unique<e2e::pty_terminal>(argv, opts);
        std::filesystem::current_path(was);
        return *session;
    }

    // Starts ox with an initialisation file of these lines (keys.ini) before
    // the arguments, and waits for the banner.
    e2e::pty_terminal &start_with(const std::string &ini, std::vector<std::string> args = {},
                                  e2e::options opts = {}) {
        write("keys.ini", ini);
        args.insert(args.begin(), {"-i", "keys.ini"});
        start(args, opts);
        EXPECT_TRUE(session->wait_row(2, banner));
        return *session;
    }

    // ^K X, bound by exit_keys and by ox.ini, answering yes to the question
    // about each changed file, which must be those named: the editor ends
    // with status 0.
    testing::AssertionResult leave(const std::vector<std::string> &written = {}) {
        session->type("\x0bx");
        for (const std::string &name : written) {
            testing::AssertionResult asked =
                session->wait_row(2, name + " not written, write: yes no");
            if (!asked) return asked;
            session->type("\r");
        }
        return session->wait_exit(0);
    }

    std::string dir;
    std::unique_ptr<e2e::pty_terminal> session;
};

} // namespace ox_e2e
