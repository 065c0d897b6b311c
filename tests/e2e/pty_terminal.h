// Running a program in a pseudo-terminal and reading the screen a real
// terminal would show.
//
// The program runs under forkpty with a chosen size and TERM; everything it
// writes goes through libvterm, so a test reads rows, cells with their colours
// and attributes, and the cursor, as a user sees them. Keys are sent as the
// bytes a terminal sends ("\x1b[A" for Up). Waits poll the terminal until the
// screen shows what is wanted or the deadline passes; on a failed wait the
// message holds the actual screen, the rows that differ marked, and a snapshot
// ready to paste into a test.
//
//     e2e::pty_terminal t({KEY_ECHO_PROGRAM});
//     ASSERT_TRUE(t.wait_row(0, "key_echo 80x24 colour 1"));
//     t.type("\x1b[A");
//     ASSERT_TRUE(t.wait_row(3, "1: 258 0x102 Up"));
//     t.type("\x18\x03");
//     ASSERT_TRUE(t.wait_exit(0));
//
// OX_E2E_TRACE=1 in the environment prints every key sent and the screen at
// every wait that succeeds; OX_E2E_TIMEOUT_MS changes the default deadline.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>
#include <termios.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct VTerm;
struct VTermScreen;

namespace e2e {

// One character cell as the terminal shows it.
struct cell {
    std::string text; // the character, " " when empty
    int fg = -1;      // palette index, -1 for the terminal's default colour
    int bg = -1;
    bool bold = false;
    bool reverse = false;
    bool underline = false;
};

struct options {
    int rows = 24;
    int cols = 80;
    std::string term = "xterm";
    std::vector<std::string> env; // "NAME=value", added to the inherited environment
    bool ignore_sigint = false;   // start the program with SIGINT ignored
    // A terminal answers queries such as the cursor position report by
    // typing the answer; when false the answers are only kept (answers()).
    bool answer_queries = true;
};

// Milliseconds a wait allows by default: 10 s, or OX_E2E_TIMEOUT_MS.
int default_timeout();

class pty_terminal {
  public:
    // argv[0] is the program's path.
    explicit pty_terminal(std::vector<std::string> argv, options opts = {});
    ~pty_terminal();
    pty_terminal(const pty_terminal &) = delete;
    pty_terminal &operator=(const pty_terminal &) = delete;

    // Typing: the bytes go to the program as one write.
    void type(std::string_view bytes);
    // Lets time pass while the screen is kept up to date, for the tests in
    // which a time-out is what matters.
    void pause(int ms);
    void signal(int sig);
    // Resizes the terminal as a user resizing the window would.
    void resize(int rows, int cols);

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // The text of a row without its trailing blanks.
    std::string row(int r) const;
    std::vector<std::string> screen() const;
    cell at(int r, int c) const;
    int cursor_row() const;
    int cursor_col() const;
    // The terminal's modes as the program left them.
    termios modes() const;
    pid_t pid() const { return pid_; }
    // Everything the program wrote, as it came.
    const std::string &output() const { return output_; }
    // What the terminal answered to queries.
    const std::string &answers() const { return answers_; }

    // Waits until done() holds; what describes the condition in the failure.
    testing::AssertionResult wait_for(const std::function<bool()> &done, const std::string &what,
                                      int timeout_ms = default_timeout());
    testing::AssertionResult wait_row(int r, const std::string &text,
                                      int timeout_ms = default_timeout());
    // Waits until the text appears anywhere on the screen.
    testing::AssertionResult wait_text(const std::string &text, int timeout_ms = default_timeout());
    // Waits for the whole screen: rows from row 0, rows not given blank.
    testing::AssertionResult wait_screen(const std::vector<std::string> &expected,
                                         int timeout_ms = default_timeout());
    // Waits for the program to end with this status (128 + n when signal n
    // ended it).
    testing::AssertionResult wait_exit(int status, int timeout_ms = default_timeout());
    bool running();
    // The status wait_exit saw, -1 before the program ended.
    int exit_status() const { return status_; }

    // The screen, one row a line with its number; rows in marked are flagged
    // with ">".
    std::string dump(const std::vector<int> &marked = {}) const;
    // The screen as a wait_screen call to paste into a test.
    std::string snapshot() const;

  private:
    void pump(int wait_ms);
    testing::AssertionResult wait_marked(const std::function<bool()> &done, const std::string &what,
                                         int timeout_ms, const std::vector<int> &marked);
    bool reap(int flags);
    testing::AssertionResult failed(const std::string &what, const std::vector<int> &marked) const;
    static void on_output(const char *bytes, size_t len, void *self);

    int rows_;
    int cols_;
    bool answer_queries_;
    int master_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    bool closed_ = false;
    int status_ = -1;
    std::string output_;
    std::string answers_;
    VTerm *vt_ = nullptr;
    VTermScreen *vscreen_ = nullptr;
};

} // namespace e2e
