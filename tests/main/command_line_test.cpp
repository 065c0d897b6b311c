// The command line and the ways ox refuses to start, through a terminal.
#include <termios.h>

#include "main/ox_session.h"

namespace {

using ox_e2e::banner;
using ox_e2e::OxTest;
using strings = std::vector<std::string>;

const std::string usage_text =
    "usage: ox [-l] [-r] [-w width] [-h height] [-i inifile] [--] {filename}\r\n"
    "flags: -l          auto load all files (default is to load if only one file)\r\n"
    "       -r          restricted mode (no shelling out to operating system)\r\n"
    "       -w width    specify screen width\r\n"
    "       -h height   specify screen height\r\n"
    "       -i inifile  override default inifile choice\r\n"
    "       filename    name(s) of files to edit (no extension assumed)\r\n";

using CommandLine = OxTest;

// The last thing ox wrote, after the terminal was given back, is the message,
// and the status is 2.
testing::AssertionResult stops_with(e2e::pty_terminal &t, const std::string &message) {
    if (testing::AssertionResult exited = t.wait_exit(2); !exited) return exited;
    std::string line = "ox: " + message + "\r\n";
    const std::string &out = t.output();
    if (out.size() < line.size() || out.compare(out.size() - line.size(), line.size(), line) != 0)
        return testing::AssertionFailure() << "output does not end in \"ox: " << message
                                           << "\": " << testing::PrintToString(out);
    if (!(t.modes().c_lflag & ECHO) || !(t.modes().c_lflag & ICANON))
        return testing::AssertionFailure() << "the terminal was not given back";
    return testing::AssertionSuccess();
}

TEST_F(CommandLine, UsageErrorsShowTheUsageTextAlone) {
    for (const strings &args : {strings{"-x"}, strings{"-"}, strings{"-w"}, strings{"-l", "-i"},
                                strings{"-r", "-lr", "-q", "file"}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        e2e::pty_terminal &t = start(args);
        ASSERT_TRUE(t.wait_exit(2));
        EXPECT_EQ(t.output(), usage_text);
    }
}

TEST_F(CommandLine, ValuesThatAreNoNumbersStopTheProgram) {
    EXPECT_TRUE(stops_with(start({"-wide"}), "bad numeric argument supplied for width"));
    EXPECT_TRUE(stops_with(start({"-h", "x24"}), "bad numeric argument supplied for height"));
    EXPECT_TRUE(stops_with(start({"-w", "-80"}), "bad numeric argument supplied for width"))
        << "there is no sign";
}

TEST_F(CommandLine, WidthAndHeightOutsideTheirLimitsStopTheProgram) {
    EXPECT_TRUE(stops_with(start({"-w39"}), "bad screen width"));
    EXPECT_TRUE(stops_with(start({"-w", "201"}), "bad screen width"));
    EXPECT_TRUE(stops_with(start({"-w", "4294967376"}), "bad screen width"))
        << "a number too large does not wrap round into the limits";
    EXPECT_TRUE(stops_with(start({"-h9"}), "bad screen height"));
    EXPECT_TRUE(stops_with(start({"-w80", "-h151"}), "bad screen height"));
}

TEST_F(CommandLine, WidthAndHeightAtTheirLimitsAreTaken) {
    write("keys.ini", ox_e2e::exit_keys);
    for (const strings &args : {strings{"-w40", "-h10"}, strings{"-w", "200", "-h", "150"},
                                strings{"-w", "80x", "-h24y"}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        strings all{"-i", "keys.ini"};
        all.insert(all.end(), args.begin(), args.end());
        e2e::pty_terminal &t = start(all);
        ASSERT_TRUE(t.wait_row(2, banner));
        EXPECT_TRUE(leave());
    }
}

TEST_F(CommandLine, ATerminalThatCannotBeSetUpStopsTheProgram) {
    e2e::options unknown;
    unknown.term = "no-such-terminal";
    EXPECT_TRUE(stops_with(start({}, unknown), "unable to initialise screen"));
}

TEST_F(CommandLine, ScreensTooSmallOrTooLargeStopTheProgram) {
    for (auto [cols, rows] : {std::pair{39, 24}, {80, 9}, {201, 40}, {80, 151}}) {
        SCOPED_TRACE(std::to_string(cols) + "x" + std::to_string(rows));
        e2e::options size;
        size.cols = cols;
        size.rows = rows;
        EXPECT_TRUE(stops_with(start({}, size), "bad screen size"));
    }
}

TEST_F(CommandLine, ScreensAtTheLimitsAreTaken) {
    write("keys.ini", ox_e2e::exit_keys);
    for (auto [cols, rows] : {std::pair{40, 10}, {200, 150}}) {
        SCOPED_TRACE(std::to_string(cols) + "x" + std::to_string(rows));
        e2e::options size;
        size.cols = cols;
        size.rows = rows;
        e2e::pty_terminal &t = start({"-i", "keys.ini"}, size);
        ASSERT_TRUE(t.wait_row(2, banner.substr(0, cols - 1)));
        EXPECT_TRUE(leave());
    }
}

TEST_F(CommandLine, NoBufferForAFileToLoadStopsTheProgram) {
    // The first buffer and 59 files fill the 60 buffers; the 60th file has none.
    strings args{"-l", "-i", "keys.ini"};
    write("keys.ini", "");
    for (int i = 0; i < 60; i++) {
        args.push_back("f" + std::to_string(i));
        write(args.back(), "");
    }
    EXPECT_TRUE(stops_with(start(args), "initialisation error"));
}

TEST_F(CommandLine, OptionsAfterTheFirstFileOrADoubleDashAreFileNames) {
    write("-r", "a file named -r\n");
    write("keys.ini", ox_e2e::exit_keys);
    e2e::pty_terminal &one = start({"-i", "keys.ini", "--", "-r"});
    ASSERT_TRUE(one.wait_row(2, banner));
    EXPECT_EQ(one.row(0).substr(0, 3), "-r ");
    EXPECT_EQ(one.row(4), "a file named -r");
    ASSERT_TRUE(leave());

    e2e::pty_terminal &three = start_with(ox_e2e::exit_keys, {"one", "-l", "--x"});
    EXPECT_EQ(three.row(4), ">>> one");
    EXPECT_EQ(three.row(5), ">>> -l") << "two names without -l: listed, not loaded";
    EXPECT_EQ(three.row(6), ">>> --x");
    EXPECT_EQ(three.row(7), "^");
    EXPECT_TRUE(leave());
}

} // namespace
