#include "ere/alloc.h"

#include "ere/arena.h"

#include <cstdlib>

static int countdown;

void *ere_alloc(std::size_t size) {
    if (countdown > 0 && --countdown == 0) return nullptr;
    return std::calloc(1, size);
}

void *ere_alloc_raw(std::size_t size) {
    if (countdown > 0 && --countdown == 0) return nullptr;
    return std::malloc(size);
}

void ere_free(void *block) {
    std::free(block);
}

void ere_fail_allocation(int n) {
    arena_free_spares();
    countdown = n;
}
