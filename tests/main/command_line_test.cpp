// The ways ox refuses to start, and the limits it takes, through a terminal.
#include <termios.h>

#include "main/ox_session.h"

namespace {

using CommandLine = ox_e2e::OxTest;

// Each row: the arguments, the terminal, and the message ox writes last once
// it has given the terminal back, with status 2; or "" when it starts (and is
// left with status 0). Usage errors come before the terminal is taken
// (options_test.cpp).
TEST_F(CommandLine, FailuresAndLimits) {
    const std::string numeric = "bad numeric argument supplied for ";
    // The first buffer and 59 files fill the 60 buffers; the 60th file has none.
    std::vector<std::string> sixty{"-l"};
    for (int i = 0; i < 60; i++) {
        sixty.push_back("f" + std::to_string(i));
        write(sixty.back(), "");
    }
    const struct {
        std::vector<std::string> args;
        int cols, rows;
        const char *term;
        std::string message;
    } cases[] = {
        {{"-wide"}, 80, 24, "xterm", numeric + "width"},
        {{"-w39"}, 80, 24, "xterm", "bad screen width"},
        {{"-w", "4294967376"}, 80, 24, "xterm", "bad screen width"}, // no wrapping round
        {{"-h9"}, 80, 24, "xterm", "bad screen height"},
        {{"-w80", "-h151"}, 80, 24, "xterm", "bad screen height"},
        {{}, 80, 24, "no-such-terminal", "unable to initialise screen"},
        {{}, 80, 24, "dumb", "unable to initialise screen"}, // it cannot move its cursor
        {{}, 39, 24, "xterm", "bad screen size"},
        {{}, 1001, 40, "xterm", "bad screen size"},
        {{}, 80, 501, "xterm", "bad screen size"},
        {sixty, 80, 24, "xterm", "initialisation error"},
        {{"-w40", "-h10", "-w", "200", "-h", "150"}, 80, 24, "xterm", ""},
        {{"-w", "80x", "-h10"}, 40, 10, "xterm", ""},
        {{}, 1000, 500, "xterm", ""},
    };
    write("keys.ini", ox_e2e::exit_keys);
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args) + " on " + std::to_string(c.cols) + "x" +
                     std::to_string(c.rows) + " " + c.term);
        std::vector<std::string> args{"-i", "keys.ini"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        e2e::pty_terminal &t = start(args, {c.rows, c.cols, c.term, {}});
        if (c.message.empty()) {
            EXPECT_TRUE(t.wait_row(2, ox_e2e::banner.substr(0, c.cols - 1)));
            EXPECT_TRUE(leave());
            continue;
        }
        ASSERT_TRUE(t.wait_exit(2));
        EXPECT_TRUE(t.output().ends_with("ox: " + c.message + "\r\n")) << t.output();
        EXPECT_TRUE((t.modes().c_lflag & (ECHO | ICANON)) == (ECHO | ICANON))
            << "terminal restored";
    }
}

} // namespace
