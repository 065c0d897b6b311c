#include "text/alloc.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifndef OX_PLAIN_MALLOC
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

long live_blocks;
long fail_countdown;

// Counts a block going out; false when a test asked this one to fail.
bool take_block() {
    if (fail_countdown > 0 && --fail_countdown == 0) return false;
    live_blocks++;
    return true;
}

} // namespace

long alloc_live_blocks() {
    return live_blocks;
}

void alloc_fail_after(long n) {
    fail_countdown = n;
}

#ifdef OX_PLAIN_MALLOC

void *pool_get(record_pool *pool) {
    if (!take_block()) return nullptr;
    void *rec = malloc(pool->size);
    if (!rec) live_blocks--;
    return rec;
}

void pool_put(record_pool *, void *record) {
    if (!record) return;
    live_blocks--;
    free(record);
}

char *arena_get(size_t size) {
    if (!take_block()) return nullptr;
    char *block = static_cast<char *>(malloc(size));
    if (!block) live_blocks--;
    return block;
}

void arena_put(char *block, size_t) {
    if (!block) return;
    live_blocks--;
    free(block);
}

#else

namespace {

constexpr size_t first_chunk = 64 * 1024;
constexpr size_t huge_page = 2 * 1024 * 1024;
constexpr size_t last_chunk = 32 * 1024 * 1024;

// Chunks from huge_page up are mapped on huge-page boundaries and offered to
// the kernel for transparent huge pages: the first touch of each 4 KiB page
// is what a large file costs most (about 10 us a page under virtualisation),
// and a huge page replaces 512 of those faults with one.
char *map_chunk(size_t size) {
    size_t span = size + huge_page;
    void *raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    uintptr_t start = (reinterpret_cast<uintptr_t>(raw) + huge_page - 1) & ~(huge_page - 1);
    size_t head = start - reinterpret_cast<uintptr_t>(raw);
    if (head) munmap(raw, head);
    if (span - head > size) munmap(reinterpret_cast<char *>(start) + size, span - head - size);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void *>(start), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<char *>(start);
}

// Chunks are never given back, so each one is simply larger than the last
// until last_chunk: a small session stays small (small chunks come from
// malloc) and a large file needs few.
struct pool_chunk {
    char *mem;
    size_t size;
};

pool_chunk new_chunk(size_t *next_size, size_t at_least) {
    size_t size = *next_size ? *next_size : first_chunk;
    while (size < at_least) size *= 2;
    char *mem = size >= huge_page ? map_chunk(size) : static_cast<char *>(malloc(size));
    if (!mem) return {nullptr, 0};
    *next_size = size < last_chunk ? size * 2 : size;
    return {mem, size};
}

} // namespace

void *pool_get(record_pool *pool) {
    if (!take_block()) return nullptr;
    if (void *rec = pool->free_list) {
        memcpy(&pool->free_list, rec, sizeof(void *));
        return rec;
    }
    if (static_cast<size_t>(pool->limit - pool->next) < pool->size) {
        pool_chunk c = new_chunk(&pool->chunk, pool->size);
        if (!c.mem) {
            live_blocks--;
            return nullptr;
        }
        pool->next = c.mem;
        pool->limit = c.mem + c.size / pool->size * pool->size;
    }
    void *rec = pool->next;
    pool->next += pool->size;
    return rec;
}

void pool_put(record_pool *pool, void *record) {
    if (!record) return;
    live_blocks--;
    memcpy(record, &pool->free_list, sizeof(void *));
    pool->free_list = record;
}

#ifdef OX_RECORD_REGION

char *region_base_;
char *region_spans_;
uint64_t region_spans_written_[region_indices / region_span_block / 64];

namespace {

// Each record's span byte beside it.
constexpr size_t region_unit = region_record_size + 1;

struct record_region {
    size_t reserved;    // records reserved for; 0 before the first record
    size_t usable;      // records made readable and writable, with their span bytes
    size_t fresh;       // the next index never handed out (0 never is)
    size_t fresh_limit; // fresh stays below it
    uint32_t free_list; // freed records, linked through their first 4 bytes
};

record_region region = {0, 0, 1, region_indices, 0};

// The records to reserve for: every index, but under a limit on address space
// (ulimit -v) a third of it at most, since strings and everything else need
// the rest: a line's record is rarely more than a third of what the line
// costs.
size_t region_wanted() {
    size_t records = region_indices;
    rlimit as;
    if (getrlimit(RLIMIT_AS, &as) == 0 && as.rlim_cur != RLIM_INFINITY &&
        as.rlim_cur / 3 / region_unit < records)
        records = as.rlim_cur / 3 / region_unit;
    return records;
}

size_t round_up(size_t bytes, size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// Reserves bytes (a multiple of huge_page) of address space on a huge-page
// boundary; null when the host refuses.
char *reserve_aligned(size_t bytes) {
    void *raw = mmap(nullptr, bytes + huge_page, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    uintptr_t start = (reinterpret_cast<uintptr_t>(raw) + huge_page - 1) & ~(huge_page - 1);
    size_t head = start - reinterpret_cast<uintptr_t>(raw);
    if (head) munmap(raw, head);
    munmap(reinterpret_cast<char *>(start) + bytes, huge_page - head);
    return reinterpret_cast<char *>(start);
}

// Reserves the records and their span bytes, for as many records as wanted
// if the host allows it, else for as many as it does.
bool reserve_region() {
    for (size_t records = region_wanted(); records * region_record_size >= huge_page;
         records /= 2) {
        size_t record_bytes = round_up(records * region_record_size, huge_page);
        char *base = reserve_aligned(record_bytes);
        if (!base) continue;
        char *spans = reserve_aligned(round_up(records, huge_page));
        if (!spans) {
            munmap(base, record_bytes);
            continue;
        }
        region_base_ = base;
        region_spans_ = spans;
        region.reserved = records;
        return true;
    }
    return false;
}

// Makes as many records again usable as are already, from first_chunk to
// last_chunk bytes of records at a time, with huge pages offered for records
// as for chunks. Span bytes are made usable alongside, without the offer: they
// are written only for the lines whose states are computed, and a huge page
// would make the first state cost 2 MiB. Memory is counted (and may be
// refused) only here, never for what is merely reserved.
bool grow_region() {
    if (!region.reserved && !reserve_region()) return false;
    constexpr size_t first = first_chunk / region_record_size;
    constexpr size_t last = last_chunk / region_record_size;
    size_t piece = region.usable < first ? first : region.usable < last ? region.usable : last;
    if (piece > region.reserved - region.usable) piece = region.reserved - region.usable;
    if (piece == 0) return false;
    // Whole pages of each, from the first page not yet usable: the
    // reservations are whole huge pages, so rounding up stays inside them.
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t rec_from = round_up(region.usable * region_record_size, page);
    size_t rec_to = round_up((region.usable + piece) * region_record_size, page);
    size_t span_from = round_up(region.usable, page);
    size_t span_to = round_up(region.usable + piece, page);
    if (rec_to > rec_from &&
        mprotect(region_base_ + rec_from, rec_to - rec_from, PROT_READ | PROT_WRITE) != 0)
        return false;
    if (span_to > span_from &&
        mprotect(region_spans_ + span_from, span_to - span_from, PROT_READ | PROT_WRITE) != 0)
        return false;
#ifdef MADV_HUGEPAGE
    if (rec_to - rec_from >= huge_page)
        madvise(region_base_ + rec_from, rec_to - rec_from, MADV_HUGEPAGE);
#endif
    region.usable += piece;
    return true;
}

char *region_record(uint32_t index) {
    return region_base_ + size_t{index} * region_record_size;
}

} // namespace

uint32_t region_get() {
    if (!take_block()) return 0;
    if (uint32_t index = region.free_list) {
        memcpy(&region.free_list, region_record(index), sizeof index);
        return index;
    }
    if (region.fresh >= region.fresh_limit || (region.fresh >= region.usable && !grow_region())) {
        live_blocks--;
        return 0;
    }
    return static_cast<uint32_t>(region.fresh++);
}

void region_put(uint32_t index) {
    if (!index) return;
    live_blocks--;
    memcpy(region_record(index), &region.free_list, sizeof index);
    region_set_span(index, 0); // as a fresh record's is
    region.free_list = index;
}

void region_limit_fresh(long n) {
    region.fresh_limit = n < 0 ? region_indices : region.fresh + static_cast<size_t>(n);
    if (region.fresh_limit > region_indices) region.fresh_limit = region_indices;
}

#endif

namespace {

// Strings of up to arena_largest bytes (NUL included) come from the arena;
// longer ones, which only file names and the like can reach, from malloc.
// Every block has exactly its string's size. A freed block of at least
// arena_smallest bytes holds its free-list link; smaller ones (empty lines and
// lines of a few bytes, a fifth of the lines of source code) wait in a stack
// of their size instead.
constexpr size_t arena_smallest = sizeof(void *);
constexpr size_t arena_largest = 512;

// Freed blocks too small for a link, of one size. The stack is never given
// back, as chunks are not; when it cannot grow, the block is lost until the
// process exits (a few bytes).
struct tiny_stack {
    char **blocks;
    size_t count;
    size_t room;
};

struct string_arena {
    char *free_lists[arena_largest + 1]; // by block size; links are unaligned
    tiny_stack tiny[arena_smallest];     // by block size
    char *next;
    char *limit;
    size_t chunk;
};

string_arena arena;

void push_free(char *block, size_t size) {
    if (size < arena_smallest) {
        tiny_stack &t = arena.tiny[size];
        if (t.count == t.room) {
            size_t room = t.room ? 2 * t.room : 64;
            auto **more = static_cast<char **>(realloc(t.blocks, room * sizeof(char *)));
            if (!more) return;
            t.blocks = more;
            t.room = room;
        }
        t.blocks[t.count++] = block;
        return;
    }
    memcpy(block, &arena.free_lists[size], sizeof(char *));
    arena.free_lists[size] = block;
}

// A freed block of the size, or null.
char *pop_free(size_t size) {
    if (size < arena_smallest) {
        tiny_stack &t = arena.tiny[size];
        return t.count ? t.blocks[--t.count] : nullptr;
    }
    char *block = arena.free_lists[size];
    if (block) memcpy(&arena.free_lists[size], block, sizeof(char *));
    return block;
}

} // namespace

char *arena_get(size_t size) {
    if (!take_block()) return nullptr;
    if (size > arena_largest) {
        char *block = static_cast<char *>(malloc(size));
        if (!block) live_blocks--;
        return block;
    }
    if (size == 0) size = 1;
    if (char *block = pop_free(size)) return block;
    if (static_cast<size_t>(arena.limit - arena.next) < size) {
        pool_chunk c = new_chunk(&arena.chunk, size);
        if (!c.mem) {
            live_blocks--;
            return nullptr;
        }
        if (size_t tail = arena.limit - arena.next) push_free(arena.next, tail);
        arena.next = c.mem;
        arena.limit = c.mem + c.size;
    }
    char *block = arena.next;
    arena.next += size;
    return block;
}

void arena_put(char *block, size_t size) {
    if (!block) return;
    live_blocks--;
    if (size > arena_largest) {
        free(block);
        return;
    }
    push_free(block, size == 0 ? 1 : size);
}

#endif
