#pragma once
// The memory a component asks for through CompAlloc: every block handed out is kept in one
// table, so that CompFree of an address the component never got (or gave back already) is
// ignored instead of ending the program, the blocks still held are given back when the
// component is unloaded, and the total is bounded by what work on the picture can need.

#include <cstddef>
#include <cstdint>

// A block of size bytes (at least one), null when it would pass the bound or there is no memory.
void* AllocComponentBlock(std::uint32_t size);
// Gives back a block AllocComponentBlock handed out; any other address is ignored.
void FreeComponentBlock(void* address);
// Gives back every block still held (the component is unloaded).
void ReleaseComponentBlocks();
// The most the blocks held at once may take: some copies of the pictures the component works
// on, and a fixed amount for its own tables.
std::uint64_t ComponentBlockBound();
