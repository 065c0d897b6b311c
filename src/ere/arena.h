// The memory of one parse tree: its nodes, strings and sets are cut from a
// few blocks, taken through ere_alloc as the parse needs them and freed
// together with the tree. A parse thus costs one or two allocations instead
// of one per node, and a tree is freed without a walk over it.
#pragma once

#include <cstddef>

struct arena_block;

struct node_arena {
    arena_block *blocks = nullptr; // the newest first
};

// size bytes (zeroed, aligned for any node), or null when out of memory.
void *arena_take(node_arena *arena, std::size_t size);

// Frees every block; the arena is then empty and may be used again.
void arena_release(node_arena *arena);

// Frees the blocks kept for reuse, so that the next arenas allocate every
// block they take (for the tests of failed allocations).
void arena_free_spares();
