// Memory for the engine's records. Everything the compiler allocates goes
// through here, so tests can make any one allocation fail and check that the
// failure is reported and leaves nothing behind.
#pragma once

#include <cstddef>

// Returns size bytes (zeroed), or null when out of memory or when a failure
// was asked for.
void *ere_alloc(std::size_t size);

// The same, not zeroed.
void *ere_alloc_raw(std::size_t size);

void ere_free(void *block);

// When n > 0, the n-th allocation from now fails (and the countdown stops);
// 0 disables the failure. Memory kept for reuse is freed first, so that it
// is allocated again. For tests only.
void ere_fail_allocation(int n);
