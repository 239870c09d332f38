// The Hrust 2 check walks shared by CheckHrust2 and CheckHrust2Tight: the
// careful walk, code by code through the checked reads of DecoderState, and
// the fast walk, which hands over to it.
#pragma once
#include <cstdint>

#include "codec/hrust2_bits.h"
#include "codec/hrust2_fast.h"

namespace zantor {

// Checks the codes from the state's position on, with the bit register and
// the number of literal flags in a row so far.
void CheckHrust2Codes(DecoderState& state, Hrust2Bits& bits, uint32_t literalRow);

// The careful walk from the start of the stream: what CheckHrust2 does on
// short data, and the reference the fast walk is held to.
void CheckHrust2Careful(DecoderState& state);

// The fast walk from the first code (reader after the tail and the first
// byte, produced 1), then the careful walk from where it stopped.
void CheckHrust2Fast(DecoderState& state, Hrust2FastReader in);

}  // namespace zantor
