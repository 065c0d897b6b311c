// Running ox in a pseudo-terminal (tests/e2e), in a scratch folder of its own:
// files are written there and named by their short names, HOME is that folder
// (so no ~/.oxrc of the user's is read) and the program's own folder leads PATH
// (so the ox.ini beside ox is the default initialisation file).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e/pty_terminal.h"
#include "support/scratch.h"

namespace ox_e2e {

inline const std::string banner = "Birch Editor for Sun UNIX, 23/7/99 R.Moss";

// An initialisation file of the keys the tests use besides typing: ^K a
// prefix, ^K X exit and ^K Q abort.
inline const std::string exit_keys = "key_prefix \"^K\"\n"
                                     "key_bind \"^K ^X\" \"other_exit yes\"\n"
                                     "key_bind \"^K ^Q\" \"other_abort yes\"\n";

// The second status row in insert and in overtype mode.
inline const std::string insert_mode = std::string(58, ' ') + "autoindent  insert  ^I";
inline const std::string overtype_mode = std::string(58, ' ') + "autoindent overtype ^I";

// The first status row: the file name, the language, the line and the
// column.
inline std::string status_row(const std::string &name, int line, int col,
                              const std::string &lang = "top", size_t width = 80) {
    std::string s = name, number = std::to_string(line);
    s.resize(width - 21, ' ');
    s += lang;
    s.resize(width - 5 - number.size(), ' ');
    return s + number + " " + std::to_string(col);
}

// Keys as an xterm sends them, for the shipped ox.ini: ^O and ^P mark a
// block, F9 runs a command and ~F9 filters the block through one.
namespace keys {
inline const std::string up = "\x1b[A", down = "\x1b[B", right = "\x1b[C", f1 = "\x1bOP",
                         f2 = "\x1bOQ", f3 = "\x1bOR", f4 = "\x1bOS", f7 = "\x1b[18~",
                         shell = "\x1b[20~", filter = "\x1b[20;2~", mark_1 = "\x0f",
                         mark_2 = "\x10";
} // namespace keys

class OxTest : public ::testing::Test {
  protected:
    void write(const std::string &name, const std::string &text, int mode = 0644) {
        test_support::write_file(files.path(name), text, mode);
    }
    std::string read(const std::string &name) { return test_support::read_file(files.path(name)); }

    e2e::pty_terminal &start(std::vector<std::string> args, e2e::options opts = {},
                             const std::string &program = OX_PROGRAM) {
        args.insert(args.begin(), program);
        const char *path = std::getenv("PATH");
        opts.env.push_back("HOME=" + files.path());
        opts.env.push_back("PATH=" + std::filesystem::path(program).parent_path().string() + ":" +
                           (path ? path : "/usr/bin:/bin"));
        test_support::working_dir here(files.path());
        session = std::make_unique<e2e::pty_terminal>(args, opts);
        return *session;
    }

    // Starts ox with an initialisation file (keys.ini) of these lines before
    // the arguments, and waits for the banner.
    e2e::pty_terminal &start_with(const std::string &ini, std::vector<std::string> args = {},
                                  e2e::options opts = {}) {
        write("keys.ini", ini);
        args.insert(args.begin(), {"-i", "keys.ini"});
        start(args, opts);
        EXPECT_TRUE(session->wait_row(2, banner));
        return *session;
    }

    // Types each step's keys and waits for its row to show its text.
    struct step {
        std::string keys;
        int row;
        std::string shows;
    };
    testing::AssertionResult play(const std::vector<step> &steps) {
        for (const step &s : steps) {
            session->type(s.keys);
            if (testing::AssertionResult shown = session->wait_row(s.row, s.shows); !shown)
                return shown << "\nafter " << testing::PrintToString(s.keys);
        }
        return testing::AssertionSuccess();
    }

    // ^K X, answering yes to the question about each changed file, which
    // must be those named; the editor ends with status 0.
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

    test_support::scratch_dir files;
    std::unique_ptr<e2e::pty_terminal> session; // ends before the folder goes
};

} // namespace ox_e2e
