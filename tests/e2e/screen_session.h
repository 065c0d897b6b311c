// Sessions of screen_demo for the screen and prompt tests: a file in a folder
// of its own, the program started in that folder so that the buffer's name is
// the short file name, and helpers to read rows the way the status rows lay
// them out.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "e2e/pty_terminal.h"

namespace e2e {

// A folder under /tmp, removed with everything in it.
class temp_folder {
  public:
    temp_folder() {
        char name[] = "/tmp/ox-screen-XXXXXX";
        if (mkdtemp(name) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = name;
    }
    ~temp_folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    temp_folder(const temp_folder &) = delete;
    temp_folder &operator=(const temp_folder &) = delete;

    const std::string &path() const { return path_; }
    void write(const std::string &name, const std::string &bytes) const {
        std::ofstream(path_ + "/" + name, std::ios::binary) << bytes;
    }

  private:
    std::string path_;
};

// screen_demo on a file of the given bytes, started in the file's folder.
struct screen_session {
    temp_folder folder;
    std::unique_ptr<pty_terminal> t;
    int syncs = 0;

    screen_session(const std::string &bytes, options opts = {}, std::vector<std::string> args = {},
                   const std::string &name = "sample.top") {
        folder.write(name, bytes);
        std::vector<std::string> argv{SCREEN_DEMO_PROGRAM};
        argv.insert(argv.end(), args.begin(), args.end());
        argv.push_back(name);
        std::filesystem::path was = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        t = std::make_unique<pty_terminal>(argv, opts);
        std::filesystem::current_path(was);
    }
    ~screen_session() {
        if (t->running()) {
            t->type("\x11"); // ^Q
            EXPECT_TRUE(t->wait_exit(0));
        }
    }

    pty_terminal &operator*() { return *t; }
    pty_terminal *operator->() { return t.get(); }

    // Waits until everything the keys typed so far drew is on the screen.
    testing::AssertionResult settle() {
        t->type("\x19"); // ^Y
        return t->wait_row(2, "sync " + std::to_string(++syncs));
    }

    // Waits for the program's greeting on the prompt line.
    testing::AssertionResult started() {
        return t->wait_row(2, "screen_demo " + std::to_string(t->cols()) + "x" +
                                  std::to_string(t->rows()));
    }
};

// A row of texts placed at columns, blanks between them.
inline std::string placed(const std::vector<std::pair<int, std::string>> &texts) {
    std::string row;
    for (const auto &[col, text] : texts) {
        if (row.size() < static_cast<size_t>(col)) row.resize(static_cast<size_t>(col), ' ');
        row.replace(static_cast<size_t>(col), text.size(), text);
    }
    return row;
}

} // namespace e2e
