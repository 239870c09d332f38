// The guarded heap: every block carries a header (size, guard) and a trailing
// guard, checked on release and resize. All blocks are zero-filled, and a
// released block is wiped, so an all-zero object is always a valid empty one.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zantor {

// Caller's area of a new zero-filled block; size 0 gives the shared empty
// block. Null when the heap refuses.
void* Allocate(size_t size);
// Null is ignored. Stops the process on a block that is not live or whose
// guards are damaged.
void Release(void* block);
// Resizes keeping the content; null on failure with the old block intact.
// A null block is allocated afresh.
void* Reallocate(void* block, size_t newSize);
// Hands free memory back to the system, after many blocks were released:
// the C heap keeps what it freed for reuse otherwise.
void TrimHeap();

}  // namespace zantor
