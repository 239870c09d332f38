// Byte layout of a guarded heap block for one word size. The 64-bit build
// keeps a 48-bit size and a 16-bit guard in the 8-byte header; the 32-bit
// build a 32-bit size and a 32-bit guard whose upper half is the same 0x9966.
// Both are templates so that either layout can be checked on any machine.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/result.h"

namespace zantor {

constexpr uint32_t kTrailingGuard = 0xFF336699;
constexpr size_t kBlockHeader = 8;
constexpr size_t kBlockOverhead = kBlockHeader + 4;

inline uint64_t LoadLittleEndian(const uint8_t* bytes, unsigned count) {
  uint64_t value = 0;
  for (unsigned i = count; i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

inline void StoreLittleEndian(uint8_t* bytes, unsigned count, uint64_t value) {
  for (unsigned i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

template <unsigned WordBits>
struct BlockLayout {
  static_assert(WordBits == 32 || WordBits == 64, "32- or 64-bit build");
  static constexpr unsigned kSizeBytes = WordBits == 64 ? 6 : 4;
  static constexpr unsigned kGuardBytes = kBlockHeader - kSizeBytes;
  static constexpr uint64_t kLiveGuard = WordBits == 64 ? 0x9966 : 0x99663311;
  // The largest request whose block (size + 12 bytes) is still countable in a
  // word: sizes from 0xFFFFFFF4 up fail in the 32-bit build.
  static constexpr uint64_t kLargestRequest = (WordBits == 64 ? UINT64_MAX : UINT32_MAX) - kBlockOverhead;

  static uint64_t Size(const uint8_t* header) { return LoadLittleEndian(header, kSizeBytes); }
  static uint64_t Guard(const uint8_t* header) { return LoadLittleEndian(header + kSizeBytes, kGuardBytes); }

  // Stops the process unless the header and trailing guards mark a live block.
  static void Check(const uint8_t* header) {
    uint64_t guard = Guard(header);
    if (guard == 0) FatalError("Memory not allocated");
    if (guard != kLiveGuard || LoadLittleEndian(header + kBlockHeader + Size(header), 4) != kTrailingGuard) {
      FatalError("Memory corrupted");
    }
  }

  // Records the size and writes both guards of a block of size + 12 bytes.
  static void Seal(uint8_t* header, uint64_t size) {
    // The header has room for 48 bits of size only.
    if (WordBits == 64 && (size >> 48) != 0) FatalError(nullptr);
    StoreLittleEndian(header, kSizeBytes, size);
    Reseal(header);
  }

  // Writes both guards again around the recorded size.
  static void Reseal(uint8_t* header) {
    StoreLittleEndian(header + kSizeBytes, kGuardBytes, kLiveGuard);
    StoreLittleEndian(header + kBlockHeader + Size(header), 4, kTrailingGuard);
  }

  // Clears both guards, so that the block no longer passes as live and its
  // trailing guard does not linger inside a grown caller's area.
  static void Unseal(uint8_t* header) {
    StoreLittleEndian(header + kBlockHeader + Size(header), 4, 0);
    StoreLittleEndian(header + kSizeBytes, kGuardBytes, 0);
  }
};

using NativeBlockLayout = BlockLayout<sizeof(void*) * 8>;

}  // namespace zantor
