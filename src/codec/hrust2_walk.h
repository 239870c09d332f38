// The careful Hrust 2 check walk from a code boundary, for the tight checker
// to hand over to when its fast walk stops.
#pragma once
#include <cstdint>

#include "codec/hrust2_bits.h"

namespace zantor {

// Checks the codes from the state's position on, with the bit register and
// the number of literal flags in a row so far.
void CheckHrust2Codes(DecoderState& state, Hrust2Bits& bits, uint32_t literalRow);

}  // namespace zantor
