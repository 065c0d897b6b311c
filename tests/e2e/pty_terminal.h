// Running a program in a pseudo-terminal and reading the screen a real
// terminal would show.
//
// The program runs under forkpty with a chosen size and TERM; everything it
// writes goes through libvterm, so a test reads rows, cells with their colours
// and attributes, and the cursor, as a user sees them. Keys are sent as the
// bytes a terminal sends ("\x1b[A" for Up). Waits poll the terminal until the
// screen shows what is wanted or the deadline passes; a failed wait shows the
// screen as it was.
//
//     e2e::pty_terminal t({OX_PROGRAM, "notes.txt"});   // 80x24, xterm
//     ASSERT_TRUE(t.wait_row(4, "first line of the notes"));
//     t.type("\x1b[B");                                 // Down
//     ASSERT_TRUE(t.wait_for([&] { return t.cursor_row() == 5; }, "the next row"));

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

// The colours and attributes of a character cell.
struct cell {
    int fg = -1; // palette index, -1 for the terminal's default colour
    int bg = -1;
    bool bold = false;
    bool reverse = false;
};

struct options {
    int rows = 24;
    int cols = 80;
    std::string term = "xterm";
    std::vector<std::string> env; // "NAME=value", added to the inherited environment
    std::string locale = "C";     // LC_ALL, whatever the environment holds
};

class pty_terminal {
  public:
    // argv[0] is the program's path.
    explicit pty_terminal(std::vector<std::string> argv, options opts = {});
    ~pty_terminal();
    pty_terminal(const pty_terminal &) = delete;
    pty_terminal &operator=(const pty_terminal &) = delete;

    // Typing: the bytes go to the program as one write.
    void type(std::string_view bytes);
    void signal(int sig);
    // The terminal goes away, as when its window is closed: the program's
    // side hangs up. Nothing can be typed or read after.
    void hang_up();
    // The window takes a new size: the terminal's and the pseudo-terminal's,
    // which tells the program with SIGWINCH.
    void resize(int rows, int cols);

    // The text of a row without its trailing blanks; a character outside
    // ASCII as \x01.
    std::string row(int r) const { return cells(r, false); }
    // The same in UTF-8, every character as itself with its combining marks,
    // a wide one once.
    std::string text(int r) const { return cells(r, true); }
    cell at(int r, int c) const;
    int cursor_row() const { return cursor(true); }
    int cursor_col() const { return cursor(false); }
    // The terminal's modes as the program left them.
    termios modes() const;
    // Everything the program wrote, as it came.
    const std::string &output() const { return output_; }

    // Waits until done() holds; what describes the condition in the failure.
    // A wait gives up after 10 s, or OX_E2E_TIMEOUT_MS.
    testing::AssertionResult wait_for(const std::function<bool()> &done, const std::string &what);
    testing::AssertionResult wait_row(int r, const std::string &text);
    testing::AssertionResult wait_text(int r, const std::string &text);
    // Waits for the whole screen: rows from row 0, rows not given blank.
    testing::AssertionResult wait_screen(const std::vector<std::string> &expected);
    // Waits for the program to end with this status (128 + n when signal n
    // ended it).
    testing::AssertionResult wait_exit(int status);

  private:
    void pump(int wait_ms);
    bool reap(int flags);
    int cursor(bool want_row) const;
    std::string cells(int r, bool utf8) const;
    std::string dump() const;

    int rows_;
    int cols_;
    int master_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    bool closed_ = false;
    int status_ = -1;
    std::string output_;
    VTerm *vt_ = nullptr;
    VTermScreen *vscreen_ = nullptr;
};

} // namespace e2e
