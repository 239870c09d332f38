#include "scan/shared_entries.h"

#include <new>

#include "base/block_layout.h"
#include "base/heap.h"
#include "scan/analysis.h"
#include "scan/entry.h"

namespace zantor {
namespace {

// A result this large was many heap blocks: worth handing back at once.
constexpr size_t kTrimAfterBytes = size_t{16} << 20;

// What a heap block of size bytes takes, with the guards and the system
// heap's own word.
size_t HeapBytes(size_t size) { return size + kBlockOverhead + sizeof(size_t); }

size_t BytesOf(const List<Entry*>& entries) {
  size_t bytes = HeapBytes(sizeof(SharedEntries)) + HeapBytes(sizeof(Entry*) * size_t{entries.capacity});
  for (uint32_t i = 0; i < entries.count; ++i) {
    const List<uint32_t>& positions = entries.items[i]->member.blockPositions;
    bytes += HeapBytes(sizeof(Entry)) + (positions.capacity ? HeapBytes(sizeof(uint32_t) * positions.capacity) : 0);
  }
  return bytes;
}

}  // namespace

Result ShareEntries(Analysis& analysis) {
  void* place = Allocate(sizeof(SharedEntries));
  if (!place) return NoMemory;
  SharedEntries* shared = new (place) SharedEntries{};
  shared->entries = analysis.entries;
  shared->bytes = BytesOf(analysis.entries);
  analysis.entries = List<Entry*>{};
  AttachEntries(analysis, shared);
  return kSuccess;
}

void AttachEntries(Analysis& analysis, SharedEntries* shared) {
  shared->references.fetch_add(1, std::memory_order_relaxed);
  analysis.shared = shared;
  analysis.entries = shared->entries;
}

void ReleaseEntries(SharedEntries* shared) {
  if (!shared || shared->references.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  List<Entry*>& entries = shared->entries;
  for (uint32_t i = 0; i < entries.count; ++i) DestroyEntry(entries.items[i]);
  entries.Destroy();
  const size_t bytes = shared->bytes;
  shared->~SharedEntries();
  Release(shared);
  if (bytes >= kTrimAfterBytes) TrimHeap();
}

}  // namespace zantor
