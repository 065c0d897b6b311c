// Keys typed at a real terminal, as screen_demo logs them on the prompt line:
// each key's code and name.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>

#include "e2e/screen_session.h"

namespace {

using e2e::screen_session;
using clock_type = std::chrono::steady_clock;

TEST(E2eKeys, BytesAndSequencesTypedAtOnce) {
    e2e::options wide;
    wide.cols = 200;
    screen_session s("text\n", wide);
    ASSERT_TRUE(s.started());
    // Raw mode: suspend, quit, interrupt and flow control bytes are keys; high
    // bytes are Alt letters and digits, or no key.
    s->type(std::string("a\x01\r\x7f\x1c\x1a\x03\x13\0\xe1\xb5\xa0", 12));
    ASSERT_TRUE(s.logged("97 1 ^A 13 ^M 127 Del127 28 ^\\ 26 ^Z 3 ^C 19 ^S 0 16449 @A 16389 @5 0"));
    ASSERT_TRUE(s.settle());
    // A sequence of each family, and Alt forms with a doubled Escape.
    s->type("\x1b[D\x1bOA\x1b[24~\x1bOp\x1b[013q\x1b[067q\x1b[151q\x1b[M\x1b[4~\x1bz"
            "\x1b\x1bOP\x1b\x1b[A");
    EXPECT_TRUE(s.logged("256 Left 258 Up 524 F12 264 Ins 4609 ~F1 16384 @0 4358 ~PgUp 16649 @Del "
                         "261 End 16474 @Z 16897 @F1 16642 @Up"));
}

TEST(E2eKeys, EscapeComesOutAfterOneSecond) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    auto typed = clock_type::now();
    s->type("\x1b");
    ASSERT_TRUE(s.logged("27"));
    s->type("\x1b[Z"); // no sequence: it comes apart
    ASSERT_TRUE(s.logged("27 27 91 90"));
    EXPECT_GE(clock_type::now() - typed, std::chrono::seconds(2));
    // The second counts from the Escape, not from the byte before.
    s->type("\x1b");
    s->pause(700);
    s->type("[");
    s->pause(700);
    s->type("A");
    EXPECT_TRUE(s.logged("27 27 91 90 27 91 65"));
}

TEST(E2eKeys, KeyStatusInterruptsAndTheTerminalGivenBack) {
    screen_session s("text\n");
    ASSERT_TRUE(s.started());
    termios raw = s->modes();
    EXPECT_FALSE(raw.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(raw.c_iflag & (ICRNL | IXON | ISTRIP));
    // th_key_status twice, then th_key_read: the same key, a byte or a sequence.
    for (auto [key, shown] : {std::pair{"x", "120"}, {"\x1b[B", "259 Down"}}) {
        s->type("\x1b[23~"); // F11
        ASSERT_TRUE(s->wait_row(2, "waiting"));
        s->type(key);
        std::string status = std::string(shown) + ", ";
        ASSERT_TRUE(s->wait_row(2, "status " + status + status + "read " + shown));
    }
    s->type("a");
    ASSERT_TRUE(s.logged("97")) << "the key read is gone";
    // An interrupt is recorded, and never fatal.
    s->signal(SIGINT);
    s->type("bc");
    ASSERT_TRUE(s.logged("97 98 SIGINT 99"));
    s->type("\x11"); // ^Q
    ASSERT_TRUE(s->wait_exit(0));
    EXPECT_TRUE(s->wait_screen({})) << "the screen from before the program";
    termios cooked = s->modes();
    EXPECT_EQ(cooked.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(ICANON | ECHO | ISIG));
    EXPECT_TRUE((cooked.c_iflag & ICRNL) && (cooked.c_oflag & ONLCR));
}

} // namespace
