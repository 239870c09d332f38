// Code pieces that the Hrust 1 decoder and checker read the same way.
#pragma once
#include <cstdint>

#include "codec/hrust1_bits.h"

namespace zantor {

constexpr uint32_t kHrust1Tail = 6;        // last unpacked bytes, stored up front
constexpr uint32_t kHrust1FirstWidth = 2;  // bits of a far high part at the start
constexpr uint32_t kHrust1EndCode = 15;    // the seven-bit value that ends a stream
// The checkers reject longer rows of literal flags: real streams never hold them.
constexpr uint32_t kHrust1MaxLiteralRow = 11;

// The special code behind a byte offset of -32 or more (b from 224): 0 is a
// width step, anything else the low byte of a gap copy's offset, see
// GapOffset.
inline uint32_t SpecialCode(uint32_t b, uint32_t length) {
  return ((((2 * b + 1) & 0xFF) ^ (length & 0xFF)) + 1) & 0xFF;
}

// Offset of the gap copy that a non-zero special code stands for (-256 is
// possible and invalid).
inline int32_t GapOffset(uint32_t special) {
  return int32_t((special - 16) & 0xFF) - 256;
}

// The high part of a far offset grows by one bit per step; after 8 bits it
// starts again at 1, which real streams rely on.
inline uint32_t NextHighWidth(uint32_t width) {
  return width == 8 ? 1 : width + 1;
}

}  // namespace zantor
