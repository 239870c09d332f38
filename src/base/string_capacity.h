// How a String's capacity grows, for one word size: doubling, then rounding
// so that the buffer (capacity + 1 bytes) fills whole heap granules of 16
// bytes (8 in the 32-bit build).
#pragma once
#include <cstdint>

#include "base/zstring.h"

namespace zantor {

// The capacity that holds at least n characters (capacity < n <= the maximum).
template <unsigned WordBits>
constexpr uint32_t GrownStringCapacity(uint32_t capacity, uint32_t n) {
  static_assert(WordBits == 32 || WordBits == 64, "32- or 64-bit build");
  uint64_t c = capacity;
  if (c == 0) {
    c = n;
  } else {
    while (c < n) c = c * 2 < String::kMaxLength ? c * 2 : String::kMaxLength;
  }
  uint64_t aligned = WordBits == 64 ? ((c + 20) & ~uint64_t{15}) + 15 : ((c + 12) & ~uint64_t{7}) + 15;
  return static_cast<uint32_t>(aligned < String::kMaxLength ? aligned : String::kMaxLength);
}

}  // namespace zantor
