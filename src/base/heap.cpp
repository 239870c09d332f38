#include "base/heap.h"

#include <cstring>

#include "base/block_layout.h"
#include "base/system_heap.h"

namespace zantor {
namespace {

using Layout = NativeBlockLayout;

// Size 0, both guards: constant data, so it is in place before any code runs.
constexpr uint64_t kEmptyHeader = Layout::kLiveGuard << (8 * Layout::kSizeBytes);
alignas(8) uint8_t emptyBlock[kBlockOverhead] = {
    static_cast<uint8_t>(kEmptyHeader),       static_cast<uint8_t>(kEmptyHeader >> 8),
    static_cast<uint8_t>(kEmptyHeader >> 16), static_cast<uint8_t>(kEmptyHeader >> 24),
    static_cast<uint8_t>(kEmptyHeader >> 32), static_cast<uint8_t>(kEmptyHeader >> 40),
    static_cast<uint8_t>(kEmptyHeader >> 48), static_cast<uint8_t>(kEmptyHeader >> 56),
    static_cast<uint8_t>(kTrailingGuard),     static_cast<uint8_t>(kTrailingGuard >> 8),
    static_cast<uint8_t>(kTrailingGuard >> 16), static_cast<uint8_t>(kTrailingGuard >> 24)};

uint8_t* HeaderOf(void* block) { return static_cast<uint8_t*>(block) - kBlockHeader; }
void* AreaOf(uint8_t* header) { return header + kBlockHeader; }

}  // namespace

void* Allocate(size_t size) {
  if (size == 0) return AreaOf(emptyBlock);
  if (size > Layout::kLargestRequest) return nullptr;
  uint8_t* header = static_cast<uint8_t*>(SystemAllocate(size + kBlockOverhead));
  if (header == nullptr) return nullptr;
  Layout::Seal(header, size);
  return AreaOf(header);
}

void Release(void* block) {
  if (block == nullptr) return;
  uint8_t* header = HeaderOf(block);
  Layout::Check(header);
  if (header == emptyBlock) return;
  std::memset(header, 0, static_cast<size_t>(Layout::Size(header)) + kBlockOverhead);
  SystemFree(header);
}

void* Reallocate(void* block, size_t newSize) {
  if (block == nullptr) return Allocate(newSize);
  uint8_t* header = HeaderOf(block);
  Layout::Check(header);
  size_t oldSize = static_cast<size_t>(Layout::Size(header));
  if (newSize == oldSize) return block;
  if (header == emptyBlock) return Allocate(newSize);
  if (newSize == 0) {
    Release(block);
    return AreaOf(emptyBlock);
  }
  if (newSize > Layout::kLargestRequest) return nullptr;
  Layout::Unseal(header);
  uint8_t* resized =
      static_cast<uint8_t*>(SystemReallocate(header, oldSize + kBlockOverhead, newSize + kBlockOverhead));
  if (resized == nullptr) {
    Layout::Reseal(header);
    return nullptr;
  }
  Layout::Seal(resized, newSize);
  return AreaOf(resized);
}

void TrimHeap() { SystemTrim(); }

}  // namespace zantor
