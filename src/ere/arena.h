// The memory of one parse tree: its nodes, strings and sets are cut from a
// few blocks, taken through ere_alloc as the parse needs them and freed
// together with the tree. A parse thus costs one or two allocations instead
// of one per node, and a tree is freed without a walk over it.
#pragma once

#include <cstddef>
#include <cstring>

struct arena_block;

struct node_arena {
    arena_block *blocks = nullptr;                   // the newest first
    unsigned char *free = nullptr, *limit = nullptr; // the room left in the newest
};

// What every piece taken is aligned to: a node holds pointers and nothing
// wider.
constexpr std::size_t ARENA_ALIGN = alignof(void *);

// Takes size bytes (a multiple of ARENA_ALIGN) from a new block: the room
// left in the newest is too small. Null when out of memory.
void *arena_grow(node_arena *arena, std::size_t size);

// size bytes (size > 0; zeroed, aligned for any node), or null when out of
// memory.
inline void *arena_take(node_arena *arena, std::size_t size) {
    size = (size + ARENA_ALIGN - 1) / ARENA_ALIGN * ARENA_ALIGN;
    if (static_cast<std::size_t>(arena->limit - arena->free) < size) return arena_grow(arena, size);
    void *taken = arena->free;
    arena->free += size;
    return std::memset(taken, 0, size);
}

// Frees every block; the arena is then empty and may be used again.
void arena_release(node_arena *arena);

// Frees the blocks kept for reuse, so that the next arenas allocate every
// block they take (for the tests of failed allocations).
void arena_free_spares();
