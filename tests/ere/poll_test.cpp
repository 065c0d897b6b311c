// The poll hook: a pathological walk gives up when the poll asks, and results
// are unchanged when it never does.
#include "compiled.h"
#include "ere/compiled.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int polls;
int stop_after;

int counting_poll() {
    polls++;
    return stop_after > 0 && polls >= stop_after;
}

struct PollGuard {
    explicit PollGuard(int stop) {
        polls = 0;
        stop_after = stop;
        ere_set_poll(counting_poll);
    }
    ~PollGuard() { ere_set_poll(nullptr); }
};

TEST(ErePoll, GivesUpAPathologicalSearch) {
    PollGuard guard(20);
    Compiled c("(a*)*b");
    // Every way of cutting the a's into passes is tried before giving up at "c".
    std::string line = std::string(498, 'a') + "cb";
    int at = -3, length = -3;
    ERE_SUBS subs = {};
    subs.count = -3;
    EXPECT_EQ(ere_match_fwd(c.ere, 0, line.c_str(), 0, &at, &length, &subs), 0);
    EXPECT_EQ(ere_aborted(), 1);
    EXPECT_EQ(polls, 20);
    EXPECT_EQ(at, -3);
    EXPECT_EQ(length, -3);
    EXPECT_EQ(subs.count, -3);

    polls = 0;
    EXPECT_EQ(ere_match_bwd(c.ere, 0, line.c_str(), 500, &at, &length, nullptr), 0);
    EXPECT_EQ(ere_aborted(), 1);
    polls = 0;
    EXPECT_EQ(ere_match(c.ere, 0, line.c_str(), 0, nullptr), -1);
    EXPECT_EQ(ere_aborted(), 1);

    // The handle is intact afterwards and the next match clears the flag.
    stop_after = 0;
    EXPECT_EQ(ere_match_fwd(c.ere, 0, "aab", 0, &at, &length, &subs), 1);
    EXPECT_EQ(ere_aborted(), 0);
    EXPECT_EQ(at, 0);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(spans_of(subs), (Spans{{0, 2}, {2, 0}}));
}

TEST(ErePoll, ZeroWidthStateIsRestoredAfterGivingUp) {
    Compiled c("(\\<|a|\\B)*(b|\\>)c");
    std::string line = std::string(300, 'a') + "c";
    {
        PollGuard guard(3);
        int at, length;
        EXPECT_EQ(ere_match_fwd(c.ere, 0, line.c_str(), 0, &at, &length, nullptr), 0);
        EXPECT_EQ(ere_aborted(), 1);
    }
    for (const Edge &edge : c.ere->automaton->edges) {
        if (edge.kind >= EDGE_START) {
            EXPECT_EQ(edge.last, -1);
        }
    }
}

TEST(ErePoll, ResultsUnchangedWhenThePollNeverFires) {
    const char *patterns[] = {"(a|ab)(c|bcd)(d*)", "(a*)*b", "\\<(\\w+)\\>", "(x)*y", "((a)\\2)+"};
    std::string texts[] = {"abcd xxy aab", "aaab aaaa", "one two", std::string(200, 'x') + "y",
                           "aaaa aaa"};
    for (const char *pattern : patterns) {
        for (const std::string &text : texts) {
            Compiled c(pattern);
            int at0 = -1, length0 = -1, at1 = -1, length1 = -1;
            ERE_SUBS subs0 = {}, subs1 = {};
            int found0 = ere_match_fwd(c.ere, 0, text.c_str(), 0, &at0, &length0, &subs0);
            PollGuard guard(0);
            int found1 = ere_match_fwd(c.ere, 0, text.c_str(), 0, &at1, &length1, &subs1);
            EXPECT_EQ(ere_aborted(), 0);
            EXPECT_EQ(found1, found0);
            EXPECT_EQ(at1, at0);
            EXPECT_EQ(length1, length0);
            EXPECT_EQ(spans_of(subs1), spans_of(subs0));
        }
    }
}

TEST(ErePoll, IsCalledDuringLongWalks) {
    PollGuard guard(0);
    Compiled c("(a|aa)*b");
    std::string line = std::string(24, 'a') + "cb";
    int at, length;
    EXPECT_EQ(ere_match_fwd(c.ere, 0, line.c_str(), 0, &at, &length, nullptr), 1);
    EXPECT_EQ(at, 25);
    EXPECT_GT(polls, 10);
    EXPECT_EQ(ere_aborted(), 0);
}

} // namespace
