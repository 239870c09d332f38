#include "base/system_heap.h"

#include <windows.h>

#include <atomic>

namespace zantor {
namespace {

// Fetched on first use and kept for the life of the module; threads that race
// here store the same handle.
std::atomic<HANDLE> processHeap{nullptr};

HANDLE ProcessHeap() {
  HANDLE heap = processHeap.load(std::memory_order_relaxed);
  if (heap == nullptr) {
    heap = GetProcessHeap();
    processHeap.store(heap, std::memory_order_relaxed);
  }
  return heap;
}

}  // namespace

void* SystemAllocate(size_t bytes) {
  HANDLE heap = ProcessHeap();
  return heap == nullptr ? nullptr : HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes);
}

void* SystemReallocate(void* memory, size_t, size_t newBytes) {
  HANDLE heap = ProcessHeap();
  return heap == nullptr ? nullptr : HeapReAlloc(heap, HEAP_ZERO_MEMORY, memory, newBytes);
}

void SystemFree(void* memory) { HeapFree(ProcessHeap(), 0, memory); }

void SystemTrim() { HeapCompact(ProcessHeap(), 0); }

}  // namespace zantor
