#include "commands/errors.h"

#include "text/fold_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// The text an error carries, caught as the recovery point would.
template <class Raise> std::string raised(Raise raise) {
    try {
        raise();
    } catch (const command_error &e) {
        EXPECT_STREQ(last_error(), e.what());
        return e.what();
    }
    ADD_FAILURE() << "nothing was raised";
    return {};
}

TEST(Errors, EachRaiserCarriesWhatItShows) {
    EXPECT_EQ(raised([] { error_code(ERR_BAD_NUMBER); }), "bad number");
    EXPECT_EQ(raised([] { error_code(ERR_BAD_SUBSTITUTION); }), "bad substitution");
    EXPECT_EQ(ERR_BAD_SUBSTITUTION, 47);
    EXPECT_EQ(raised([] { error_file(ERR_CANT_WRITE, "/tmp/x.c"); }), "can't write /tmp/x.c");
    EXPECT_EQ(raised([] { error_text("anything at all"); }), "anything at all");
    EXPECT_EQ(raised([] { error_code(0); }), "");
    EXPECT_EQ(raised([] { error_code(48); }), "") << "codes beyond the table show nothing";
    // The whole of a 500-byte name is kept, though the prompt line shows less.
    std::string name(500, 'n');
    EXPECT_EQ(raised([&] { error_file(ERR_CANT_OPEN, name.c_str()); }), "can't open " + name);
}

TEST(Errors, ReadFailures) {
    const struct {
        int rdfail;
        int code;
    } cases[] = {
        {RD_NO_MEMORY, ERR_MEMORY_READING},
        {RD_END_OF_FILE, 0},
        {RD_END_IN_FOLD, ERR_FOLD_STRUCTURE},
        {RD_END_MARKER, ERR_FOLD_STRUCTURE},
        {RD_CANNOT_OPEN, ERR_CANT_OPEN},
        {RD_BAD_MARKER, ERR_FOLD_STRUCTURE},
        {6, 0},
    };
    for (auto c : cases) {
        rdfail = c.rdfail;
        EXPECT_EQ(read_fail_code(), c.code) << c.rdfail;
    }
}

TEST(Recovery, AnErrorEndsOnlyTheInnermostRun) {
    std::string steps;
    int outer = run_with_recovery([&] {
        steps += "a";
        EXPECT_EQ(run_with_recovery([&] {
                      steps += "b";
                      error_code(ERR_NOT_FOUND);
                  }),
                  0);
        steps += "c";
        EXPECT_EQ(run_with_recovery([&] { steps += "d"; }), 1);
        error_code(ERR_NO_BLOCK);
    });
    EXPECT_EQ(outer, 0);
    EXPECT_EQ(steps, "abcd");
    EXPECT_STREQ(last_error(), "no block");
}

} // namespace

namespace {

// Runs nested `levels` deep, each level running two nested runs in turn
// (a command text that holds its own name twice); counts the bodies run.
int nest(int levels, int *bodies) {
    return run_with_recovery([&] {
        ++*bodies;
        if (levels > 1) {
            nest(levels - 1, bodies);
            nest(levels - 1, bodies);
        }
    });
}

TEST(Recovery, ARunawayNestingEndsEveryEnclosingRun) {
    int bodies = 0;
    EXPECT_EQ(nest(1000000, &bodies), 0);
    EXPECT_EQ(bodies, MAX_RUN_NESTING) << "stopped on the way down, not after 2^100 runs";
    EXPECT_STREQ(last_error(), "command failure");
    // Afterwards the nesting starts from nothing again.
    bodies = 0;
    int depth = 0;
    std::function<int()> chain = [&] {
        return run_with_recovery([&] {
            if (++depth < MAX_RUN_NESTING) {
                EXPECT_EQ(chain(), 1);
            }
        });
    };
    EXPECT_EQ(chain(), 1);
    EXPECT_EQ(depth, MAX_RUN_NESTING);
    EXPECT_EQ(nest(3, &bodies), 1);
    EXPECT_EQ(bodies, 7);
}

} // namespace
