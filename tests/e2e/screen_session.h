// screen_demo on a file of given bytes, started in a scratch folder of its own
// so that the buffer's name is the short file name.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "e2e/pty_terminal.h"
#include "support/scratch.h"

namespace e2e {

struct screen_session {
    test_support::scratch_dir folder;
    std::unique_ptr<pty_terminal> t;
    int syncs = 0;

    explicit screen_session(const std::string &bytes, options opts = {},
                            std::vector<std::string> args = {},
                            const std::string &name = "sample.top") {
        test_support::write_file(folder.path(name), bytes);
        args.insert(args.begin(), SCREEN_DEMO_PROGRAM);
        args.push_back(name);
        test_support::working_dir in(folder.path());
        t = std::make_unique<pty_terminal>(args, opts);
    }
    ~screen_session() {
        t->type("\x11"); // ^Q, unless it has ended
        EXPECT_TRUE(t->wait_exit(0));
    }
    pty_terminal *operator->() { return t.get(); }

    testing::AssertionResult started() {
        return t->wait_row(2, "screen_demo " + std::to_string(t->cols()) + "x" +
                                  std::to_string(t->rows()));
    }
    // Waits until everything the keys typed so far drew is on the screen.
    testing::AssertionResult settle() {
        t->type("\x19"); // ^Y
        return t->wait_row(2, "sync " + std::to_string(++syncs));
    }
    // Waits for the key log: the keys typed since the last settle.
    testing::AssertionResult logged(const std::string &keys) {
        return t->wait_row(2, "keys " + keys);
    }
};

// A row of texts placed at columns, blanks between them.
inline std::string placed(const std::vector<std::pair<int, std::string>> &texts) {
    std::string row;
    for (const auto &[col, text] : texts) {
        row.resize(std::max(row.size(), col + text.size()), ' ');
        row.replace(static_cast<size_t>(col), text.size(), text);
    }
    return row;
}

} // namespace e2e
