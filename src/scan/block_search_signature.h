// Fast search for the two-byte start of a header signature, eight positions
// per step, so the deep passes do not call a header check at every byte.
#pragma once
#include <cstdint>

namespace zantor {

// The two leading bytes of a signature; fold bits are set in the first image
// byte before comparing ("hr" with fold 0x20 also finds "Hr").
struct SignaturePair {
  uint8_t first;
  uint8_t second;
  uint8_t fold;
};

// First q in [from, end) with q + 1 < size where the pair stands; end if none.
uint32_t FindSignature(const uint8_t* image, uint32_t size, uint32_t from, uint32_t end,
                       SignaturePair pair);

}  // namespace zantor
