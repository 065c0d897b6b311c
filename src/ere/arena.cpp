#include "ere/arena.h"

#include "ere/alloc.h"

#include <cstring>

struct arena_block {
    arena_block *next;
    std::size_t size; // bytes of room after the header
};

namespace {

// Most expressions of a line fit in the first block; a long one takes
// blocks of growing size, so that its blocks stay few.
constexpr std::size_t FIRST_BLOCK = 1024, LARGEST_BLOCK = 64 * 1024;
constexpr std::size_t HEADER = (sizeof(arena_block) + ARENA_ALIGN - 1) / ARENA_ALIGN * ARENA_ALIGN;

// Blocks kept from released arenas for the next ones, up to a limit:
// checking many expressions one after another then takes no new memory, and
// leaves no holes among the records allocated between checks.
arena_block *spares;
std::size_t spare_bytes;
constexpr std::size_t MOST_SPARE_BYTES = 4 * LARGEST_BLOCK;

// A spare block of at least room bytes, taken off the list, or null.
arena_block *take_spare(std::size_t room) {
    for (arena_block **link = &spares; *link; link = &(*link)->next) {
        arena_block *block = *link;
        if (block->size < room) continue;
        *link = block->next;
        spare_bytes -= block->size;
        return block;
    }
    return nullptr;
}

unsigned char *room_of(arena_block *block) {
    return reinterpret_cast<unsigned char *>(block) + HEADER;
}

} // namespace

void *arena_grow(node_arena *arena, std::size_t size) {
    arena_block *newest = arena->blocks;
    std::size_t room = newest ? 2 * newest->size : FIRST_BLOCK;
    if (room > LARGEST_BLOCK) room = LARGEST_BLOCK;
    if (room < size) room = size;
    arena_block *block = take_spare(room);
    if (!block) {
        block = static_cast<arena_block *>(ere_alloc_raw(HEADER + room));
        if (!block) return nullptr;
        block->size = room;
    }
    block->next = newest;
    arena->blocks = block;
    arena->free = room_of(block) + size;
    arena->limit = room_of(block) + block->size;
    return std::memset(room_of(block), 0, size);
}

void arena_release(node_arena *arena) {
    arena->free = arena->limit = nullptr;
    while (arena_block *block = arena->blocks) {
        arena->blocks = block->next;
        if (spare_bytes + block->size > MOST_SPARE_BYTES) {
            ere_free(block);
            continue;
        }
        block->next = spares;
        spares = block;
        spare_bytes += block->size;
    }
}

void arena_free_spares() {
    while (arena_block *block = take_spare(0)) ere_free(block);
}
