// The operating system's heap beneath the guarded heap: the process heap on
// Windows, the C heap elsewhere. Every byte it hands out is zero.
#pragma once
#include <cstddef>

namespace zantor {

// Zero-filled memory, or null when the heap refuses.
void* SystemAllocate(size_t bytes);
// Resizes keeping the content and zero-filling the grown part; null on
// failure with the memory untouched.
void* SystemReallocate(void* memory, size_t oldBytes, size_t newBytes);
void SystemFree(void* memory);
// Hands the free memory the heap keeps back to the system.
void SystemTrim();

}  // namespace zantor
