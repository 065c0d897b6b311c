// Memory for the text model: pools of fixed-size records and a string arena.
//
// A file of a million lines makes a million line records and strings, so
// their per-block overhead is the editor's main memory cost. Records come
// from slabs carved out of large chunks; strings come from an arena that
// hands out blocks of their exact size (no header) and keeps a free list per
// size. Freed blocks are reused for requests of the same size; chunks are
// kept until the process exits.
//
// With OX_PLAIN_MALLOC defined (the sanitizer build) every block comes from
// malloc and goes back to free, so overflows, use after free and leaks of
// single records and strings are caught.
#pragma once

#include <cstddef>

// A pool of records of one size. Define one per record type with
// POOL_INIT(sizeof(T)); the pool's fields are its own.
struct record_pool {
    size_t size;     // bytes per record, a multiple of the pointer size
    void *free_list; // freed records, linked through their first word
    char *next;      // unused part of the newest chunk
    char *limit;
    size_t chunk; // bytes in the next chunk
};

#define POOL_INIT(record_size)                                                                     \
    {                                                                                              \
        ((record_size) + sizeof(void *) - 1) / sizeof(void *) * sizeof(void *), nullptr, nullptr,  \
            nullptr, 0                                                                             \
    }

// A record of the pool's size (contents undefined), or null.
void *pool_get(record_pool *pool);

// Returns a record to its pool; null is ignored.
void pool_put(record_pool *pool, void *record);

// A block of size bytes for a string (size counts the NUL), or null.
char *arena_get(size_t size);

// Returns a block; size must be at most what arena_get was asked for (a string
// shortened in place gives back only its new length; the tail is lost, which
// is safe). Null is ignored.
void arena_put(char *block, size_t size);

// Blocks handed out and not yet given back, pools and arena together (strings
// longer than the arena takes count too).
long alloc_live_blocks();

// For tests of the out-of-memory paths: the n-th allocation from now (n from
// 1) fails as if memory had run out; 0 cancels.
void alloc_fail_after(long n);
