#include "ere/alloc.h"

#include <cstdlib>

#ifndef OX_PLAIN_MALLOC
#include <sys/mman.h>
#endif

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

#ifdef OX_PLAIN_MALLOC

void *ere_alloc_sparse(std::size_t size) {
    return ere_alloc(size);
}

void ere_free_sparse(void *block, std::size_t) {
    ere_free(block);
}

#else

void *ere_alloc_sparse(std::size_t size) {
    if (countdown > 0 && --countdown == 0) return nullptr;
    void *block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void ere_free_sparse(void *block, std::size_t size) {
    if (block) munmap(block, size);
}

#endif

void ere_fail_allocation(int n) {
    countdown = n;
}
