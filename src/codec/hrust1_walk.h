// The careful Hrust 1 check walk from a code boundary, for the tight checker
// to hand over to when its fast walk stops.
#pragma once
#include <cstdint>

#include "codec/hrust1_bits.h"

namespace zantor {

// What the checker carries from one code to the next.
struct Hrust1WalkState {
  Hrust1Bits bits;
  uint32_t highWidth;
  int32_t lastShortOffset;  // offset of a length-1 copy just before, else 0
  uint32_t literalRow;      // literal flags in a row so far
};

// Checks the codes from the state's position on, up to and including the
// padding after the end code and the tail.
void CheckHrust1Codes(DecoderState& state, const Hrust1WalkState& walk);

}  // namespace zantor
