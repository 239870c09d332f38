// The careful Hrust 2 check, code by code through the checked reads of
// DecoderState from the start of the stream: the reference that CheckHrust2
// and CheckHrust2Tight, whose nibble walk hands over to the careful walk, are
// held to by the tests and the differential fuzz program.
#pragma once
#include <cstdint>

#include "codec/decoder_state.h"

namespace zantor {

void CheckHrust2Careful(DecoderState& state);

}  // namespace zantor
