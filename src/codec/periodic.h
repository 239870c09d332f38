// Crafted data that repeats a few bytes. There the careful walks' branches
// are all predicted and they run ahead, while the fast walks wait on each
// code for the one before, so the checkers hand such data to the careful walk.
#pragma once
#include <cstdint>
#include <cstring>

namespace zantor {

constexpr int64_t kPeriodicSpan = 32;  // bytes Periodic reads

// Whether the 32 bytes from p on repeat a period of 16 bytes or fewer.
inline bool Periodic(const uint8_t* p) {
  for (uint32_t period = 1; period <= 16; ++period) {
    if (std::memcmp(p, p + period, 16) == 0) return true;
  }
  return false;
}

}  // namespace zantor
