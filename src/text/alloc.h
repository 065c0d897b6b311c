// Memory for the text model: pools of fixed-size records and a string arena.
//
// A file of a million lines makes a million line records and strings, so
// their per-block overhead is the editor's main memory cost. Records come
// from slabs carved out of large chunks; strings come from an arena that
// hands out blocks of their exact size (no header) and keeps a free list per
// size. Freed blocks are reused for requests of the same size; chunks are
// kept until the process exits.
//
// Line records, the most numerous of all, take 14 bytes each in the record
// region (below): one reserved range of address space in which a record is
// named by a 30-bit index.
//
// With OX_PLAIN_MALLOC defined (the sanitizer build) every block comes from
// malloc and goes back to free, so overflows, use after free and leaks of
// single records and strings are caught; that build, and hosts whose
// addresses are not 64 bits, have no record region.
#pragma once

#include <cstddef>
#include <cstdint>

#if !defined(OX_PLAIN_MALLOC) && UINTPTR_MAX == 0xffffffffffffffffu &&                             \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define OX_RECORD_REGION 1
#endif

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

#ifdef OX_RECORD_REGION
// The record region: records of region_record_size bytes, record i at
// region_base_ + i * region_record_size, and beside them one byte a record,
// record i's at region_spans_ + i, which is 0 when the record is handed out.
// Address space for 2^30 records is reserved on first use (less where the
// host's limit on address space does not allow as much) and made usable in
// growing pieces, so memory counts only once used. Index 0 is never handed
// out: it stands for none.
inline constexpr size_t region_record_size = 14;
inline constexpr size_t region_indices = size_t{1} << 30;
extern char *region_base_;
extern char *region_spans_;

// A record's span byte, read and written through these two, which keep a bit
// for each block of span bytes ever written: a byte in a block never written
// is 0 and is not even read, so the span bytes of lines whose states are never
// computed cost no memory (some hosts count a page merely read as resident).
inline constexpr size_t region_span_block = 4096;
extern uint64_t region_spans_written_[region_indices / region_span_block / 64];
inline unsigned region_span(uint32_t index) {
    size_t block = index / region_span_block;
    if (!(region_spans_written_[block / 64] >> block % 64 & 1)) return 0;
    return static_cast<unsigned char>(region_spans_[index]);
}
inline void region_set_span(uint32_t index, unsigned span) {
    if (region_span(index) == span) return;
    size_t block = index / region_span_block;
    region_spans_written_[block / 64] |= uint64_t{1} << block % 64;
    region_spans_[index] = static_cast<char>(span);
}

// The index of a record (contents undefined), or 0 when memory runs out or
// every index is in use.
uint32_t region_get();

// Returns a record; 0 is ignored.
void region_put(uint32_t index);

// For tests of the region running out: at most n records never handed out
// before are handed out from now (freed ones still are); -1 lifts the limit.
void region_limit_fresh(long n);
#endif

// A block of size bytes for a string (size counts the NUL), or null.
char *arena_get(size_t size);

// Returns a block; size must be at most what arena_get was asked for (a string
// shortened in place gives back only its new length; the tail is lost, which
// is safe). Null is ignored.
void arena_put(char *block, size_t size);

// Blocks handed out and not yet given back, pools, region and arena together (strings
// longer than the arena takes count too).
long alloc_live_blocks();

// For tests of the out-of-memory paths: the n-th allocation from now (n from
// 1) fails as if memory had run out; 0 cancels.
void alloc_fail_after(long n);
