// Keys typed at a real terminal, as key_echo logs them: "n: code 0xhex name".
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "e2e/pty_terminal.h"

namespace {

using e2e::pty_terminal;
using keys = std::vector<std::string>;

std::vector<std::string> key_echo(std::vector<std::string> args = {}) {
    args.insert(args.begin(), KEY_ECHO_PROGRAM);
    return args;
}

// Waits until log lines first, first + 1, ... show these keys.
testing::AssertionResult shows_keys(pty_terminal &t, int first, const keys &shown) {
    for (size_t i = 0; i < shown.size(); i++) {
        int n = first + static_cast<int>(i);
        testing::AssertionResult r =
            t.wait_row(3 + (n - 1) % (t.rows() - 3), std::to_string(n) + ": " + shown[i]);
        if (!r) return r;
    }
    return testing::AssertionSuccess();
}

// Milliseconds since a time point.
long long since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

TEST(E2eKeys, PlainAndControlBytesArriveAsThemselves) {
    pty_terminal t(key_echo());
    ASSERT_TRUE(t.wait_row(0, "key_echo 80x24 colour 0"));
    // Raw mode: flow control, suspend, quit and interrupt characters are keys.
    t.type(std::string("a~ \x01\r\x7f\x1c\x11\x13\x1a\x03\0", 12));
    EXPECT_TRUE(shows_keys(t, 1,
                           {"97 0x61 no name", "126 0x7e no name", "32 0x20 no name", "1 0x1 ^A",
                            "13 0xd ^M", "127 0x7f Del127", "28 0x1c ^\\", "17 0x11 ^Q",
                            "19 0x13 ^S", "26 0x1a ^Z", "3 0x3 ^C", "0 0x0 no name"}));
    t.type("\x18\x03");
    EXPECT_TRUE(t.wait_exit(0));
}

TEST(E2eKeys, EverySequenceFamilyIsDecoded) {
    e2e::options big;
    big.rows = 40;
    pty_terminal t(key_echo(), big);
    t.type("\x1b[D\x1bOA\x1bOP\x1b[24~\x1bOp\x1b[6~\x1b[012q\x1b[013q\x1b[025q\x1b[037q\x1b[067q"
           "\x1b[074q\x1b[087q\x1b[101q\x1b[P\x1b[151q\x1b[200q\x1b[M\x1bOj\x1bOK\x1bO0\x1b[[E"
           "\x1b[4~\x1bz\x1b"
           "9\x1b[11~\x1b[1~");
    EXPECT_TRUE(shows_keys(
        t, 1, {"256 0x100 Left",     "258 0x102 Up",      "513 0x201 F1",     "524 0x20c F12",
               "264 0x108 Ins",      "263 0x107 PgDn",    "524 0x20c F12",    "4609 0x1201 ~F1",
               "8705 0x2201 ^F1",    "16897 0x4201 @F1",  "16384 0x4000 @0",  "16465 0x4051 @Q",
               "16449 0x4041 @A",    "16474 0x405a @Z",   "265 0x109 Del",    "4358 0x1106 ~PgUp",
               "8458 0x210a ^Grey+", "16649 0x4109 @Del", "8714 0x220a ^F10", "16897 0x4201 @F1",
               "16384 0x4000 @0",    "517 0x205 F5",      "261 0x105 End",    "16474 0x405a @Z",
               "16393 0x4009 @9",    "513 0x201 F1",      "260 0x104 Home"}));
}

TEST(E2eKeys, EscapeAloneArrivesAfterOneSecond) {
    pty_terminal t(key_echo());
    ASSERT_TRUE(t.wait_row(0, "key_echo 80x24 colour 0"));
    auto typed = std::chrono::steady_clock::now();
    t.type("\x1b");
    ASSERT_TRUE(shows_keys(t, 1, {"27 0x1b no name"}));
    EXPECT_GE(since(typed), 1000);
    t.type("b");
    EXPECT_TRUE(shows_keys(t, 2, {"98 0x62 no name"}));
}

TEST(E2eKeys, UnknownSequenceComesApartIntoSeparateKeys) {
    pty_terminal t(key_echo());
    ASSERT_TRUE(t.wait_row(0, "key_echo 80x24 colour 0"));
    auto typed = std::chrono::steady_clock::now();
    t.type("\x1b[Z");
    ASSERT_TRUE(shows_keys(t, 1, {"27 0x1b no name", "91 0x5b no name", "90 0x5a no name"}));
    EXPECT_GE(since(typed), 1000);
}

TEST(E2eKeys, TheSecondCoversTheWholeSequence) {
    pty_terminal t(key_echo());
    ASSERT_TRUE(t.wait_row(0, "key_echo 80x24 colour 0"));
    t.type("\x1b");
    t.pause(300);
    t.type("[");
    t.pause(300);
    t.type("A");
    ASSERT_TRUE(shows_keys(t, 1, {"258 0x102 Up"}));
    // Each byte within a second of the one before, but the last one too late.
    t.type("\x1b");
    t.pause(700);
    t.type("[");
    t.pause(700);
    t.type("A");
    EXPECT_TRUE(shows_keys(t, 2, {"27 0x1b no name", "91 0x5b no name", "65 0x41 no name"}));
}

TEST(E2eKeys, AltFormsWithADoubledEscape) {
    pty_terminal t(key_echo());
    t.type("\x1b\x1bOP\x1b\x1b[A\x1bx");
    ASSERT_TRUE(shows_keys(t, 1, {"16897 0x4201 @F1", "16642 0x4102 @Up", "16472 0x4058 @X"}));
    // "[13q" has no row: both Escapes and the rest come out once the second
    // is up.
    t.type("\x1b\x1b[13q");
    EXPECT_TRUE(shows_keys(t, 4,
                           {"27 0x1b no name", "27 0x1b no name", "91 0x5b no name",
                            "49 0x31 no name", "51 0x33 no name", "113 0x71 no name"}));
}

TEST(E2eKeys, HighBytesAreAltLettersAndDigits) {
    pty_terminal t(key_echo());
    t.type("\xe1\xb5\xa0\xda");
    EXPECT_TRUE(shows_keys(
        t, 1, {"16449 0x4041 @A", "16389 0x4005 @5", "0 0x0 no name", "16474 0x405a @Z"}));
}

TEST(E2eKeys, KeyStatusHoldsTheKeyForTheNextRead) {
    pty_terminal t(key_echo());
    t.type("\x14");
    ASSERT_TRUE(t.wait_row(2, "status: waiting for a key"));
    t.type("x");
    ASSERT_TRUE(t.wait_row(2, "status 120 0x78 no name, status 120 0x78 no name, "
                              "read 120 0x78 no name"));
    t.type("\x14");
    ASSERT_TRUE(t.wait_row(2, "status: waiting for a key"));
    t.type("\x1b[B");
    ASSERT_TRUE(t.wait_row(2, "status 259 0x103 Down, status 259 0x103 Down, read 259 0x103 Down"));
    t.type("y");
    EXPECT_TRUE(shows_keys(t, 1, {"20 0x14 ^T", "20 0x14 ^T", "121 0x79 no name"}));
}

TEST(E2eKeys, CursorWaitsAtTheTrackedPositionOrParked) {
    e2e::options size;
    size.rows = 30;
    size.cols = 100;
    pty_terminal shown(key_echo(), size);
    ASSERT_TRUE(shown.wait_row(0, "key_echo 100x30 colour 0"));
    shown.type("a");
    ASSERT_TRUE(shows_keys(shown, 1, {"97 0x61 no name"}));
    EXPECT_TRUE(shown.wait_for([&] { return shown.cursor_row() == 4 && shown.cursor_col() == 0; },
                               "cursor at 4, 0"));

    pty_terminal hidden(key_echo({"-h"}), size);
    ASSERT_TRUE(hidden.wait_row(0, "key_echo 100x30 colour 0"));
    EXPECT_TRUE(
        hidden.wait_for([&] { return hidden.cursor_row() == 29 && hidden.cursor_col() == 99; },
                        "cursor parked at 29, 99"));
}

TEST(E2eKeys, ResizingTheTerminalTypesNoKey) {
    pty_terminal t(key_echo());
    ASSERT_TRUE(t.wait_row(0, "key_echo 80x24 colour 0"));
    t.resize(30, 100);
    t.type("a");
    ASSERT_TRUE(shows_keys(t, 1, {"97 0x61 no name"}));
    t.resize(24, 80);
    t.type("b");
    EXPECT_TRUE(shows_keys(t, 2, {"98 0x62 no name"}));
}

TEST(E2eColours, StatusRowsAndTextInTheirColours) {
    for (const char *colour_mode : {"0", "1"}) {
        SCOPED_TRACE(colour_mode);
        pty_terminal t(key_echo({"-c", colour_mode}));
        ASSERT_TRUE(t.wait_row(0, std::string("key_echo 80x24 colour ") + colour_mode));
        t.type("a");
        ASSERT_TRUE(shows_keys(t, 1, {"97 0x61 no name"}));
        // Brown on red, brown drawn as bold yellow, across the whole row.
        for (int col : {0, 79}) {
            e2e::cell status = t.at(0, col);
            EXPECT_EQ(status.fg, 3);
            EXPECT_EQ(status.bg, 1);
            EXPECT_TRUE(status.bold);
            EXPECT_FALSE(status.reverse);
        }
        e2e::cell text = t.at(3, 0);
        EXPECT_EQ(text.fg, 7);
        EXPECT_EQ(text.bg, 0);
        EXPECT_FALSE(text.bold);
    }
}

TEST(E2eColours, WithoutColourTheStatusRowsStandOut) {
    struct {
        const char *colour_mode;
        const char *term;
    } cases[] = {{"2", "xterm"}, {"0", "vt100"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.colour_mode) + " " + c.term);
        e2e::options opts;
        opts.term = c.term;
        pty_terminal t(key_echo({"-c", c.colour_mode}), opts);
        ASSERT_TRUE(t.wait_row(0, std::string("key_echo 80x24 colour ") + c.colour_mode));
        t.type("a");
        ASSERT_TRUE(shows_keys(t, 1, {"97 0x61 no name"}));
        // Standout is what the terminal makes of it: reverse, and on a
        // VT100 bold as well.
        for (int row : {0, 1, 2}) EXPECT_TRUE(t.at(row, 40).reverse) << row;
        EXPECT_FALSE(t.at(3, 0).reverse);
        EXPECT_FALSE(t.at(3, 0).bold);
    }
}

TEST(E2eSignals, InterruptIsRecordedAndNeverFatal) {
    pty_terminal t(key_echo());
    t.type("a");
    ASSERT_TRUE(shows_keys(t, 1, {"97 0x61 no name"}));
    t.signal(SIGINT);
    t.type("b");
    ASSERT_TRUE(shows_keys(t, 2, {"98 0x62 no name SIGINT"}));
    t.type("c");
    ASSERT_TRUE(shows_keys(t, 3, {"99 0x63 no name"}));
    EXPECT_TRUE(t.running());
}

TEST(E2eSignals, InterruptIgnoredAtStartStaysIgnored) {
    e2e::options background;
    background.ignore_sigint = true;
    pty_terminal t(key_echo(), background);
    ASSERT_TRUE(t.wait_row(0, "key_echo 80x24 colour 0"));
    t.signal(SIGINT);
    t.type("b");
    ASSERT_TRUE(shows_keys(t, 1, {"98 0x62 no name"}));
    EXPECT_TRUE(t.running());
}

TEST(E2eTerminal, GivenBackInItsNormalModesAfterExit) {
    pty_terminal t(key_echo({"-r"}));
    ASSERT_TRUE(t.wait_row(0, "key_echo 80x24 colour 0"));
    termios raw = t.modes();
    EXPECT_FALSE(raw.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(raw.c_iflag & (ICRNL | IXON));
    t.type("\x18\x03");
    ASSERT_TRUE(t.wait_row(1, "key_echo: terminal restored, type a line:"));
    // The screen as it was before the program started, the cursor after it.
    EXPECT_EQ(t.row(0), "key_echo: starting");
    t.type("hello\r");
    ASSERT_TRUE(t.wait_exit(0));
    // key_echo gives the terminal back twice; the second time changes nothing
    // (the full screen was entered once).
    std::string out = t.output();
    size_t entered = 0;
    for (size_t at = 0; (at = out.find("\x1b[?1049h", at)) != std::string::npos; at++) entered++;
    EXPECT_EQ(entered, 1u);
    EXPECT_TRUE(t.wait_screen({
        "key_echo: starting",
        "key_echo: terminal restored, type a line: hello",
        "read: hello",
    }));
    termios cooked = t.modes();
    EXPECT_TRUE(cooked.c_lflag & ICANON);
    EXPECT_TRUE(cooked.c_lflag & ECHO);
    EXPECT_TRUE(cooked.c_lflag & ISIG);
    EXPECT_TRUE(cooked.c_iflag & ICRNL);
    EXPECT_TRUE(cooked.c_oflag & ONLCR);
}

TEST(E2eTerminal, UnknownTerminalTypeIsReportedNotFatal) {
    e2e::options opts;
    opts.term = "no-such-terminal";
    pty_terminal t(key_echo(), opts);
    ASSERT_TRUE(t.wait_exit(2));
    EXPECT_TRUE(t.wait_row(0, "key_echo: starting"));
    EXPECT_TRUE(t.wait_row(1, "key_echo: unable to initialise screen"));
}

} // namespace
