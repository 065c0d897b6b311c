// Running out of memory while compiling: every allocation that fails is
// reported as "out of memory" and nothing built so far is left behind (the
// sanitizer build checks for leaks).
#include "compiled.h"
#include "ere/alloc.h"

#include <gtest/gtest.h>

namespace {

TEST(EreMemory, EveryFailedAllocationIsReported) {
    const char *patterns[] = {"abcdef", "[a-z]+(x|yz)*\\1", "(a)((b)\\2)[[:alpha:]]{2,3}",
                              "~a.\\w|$"};
    for (const char *pattern : patterns) {
        int failures = 0;
        for (int n = 1;; n++) {
            ere_fail_allocation(n);
            int error = -1;
            ERE *ere = ere_compile(pattern, 0, &error);
            ere_fail_allocation(0);
            if (ere) {
                ere_discard(ere);
                break;
            }
            EXPECT_EQ(error, 1) << pattern << " allocation " << n;
            failures++;
            ASSERT_LT(n, 100);
        }
        EXPECT_GE(failures, 3) << pattern;
    }
}

TEST(EreMemory, FailedCompilesOfEveryKindLeaveNothing) {
    const char *patterns[] = {"(abc|[de]",
                              "ab[cd]e)",
                              "x{3,2}",
                              "[[:nope:]]",
                              "abc(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)(p)(q)(r)(s)(t)(u)(v)(w)(x)",
                              "[ab]{300}",
                              "(ab|[cd]){2}a{250}"};
    for (const char *pattern : patterns) {
        Compiled c(pattern);
        EXPECT_EQ(c.ere, nullptr);
        EXPECT_NE(c.error, 0);
    }
}

} // namespace
