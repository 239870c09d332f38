// Hrust 1: the decoder and the stricter stream checker. Both take a fresh
// DecoderState (packed data, packedSize, expectedSize; output for decoding)
// and leave the result in it; apply FinishStatus afterwards.
#pragma once
#include "codec/decoder_state.h"

namespace zantor {

// Unpacks state.packed into state.output (never at or beyond expectedSize).
void DecodeHrust1(DecoderState& state);
// Walks the same stream without output and also rejects forms that real
// packed data never contains; output may be null.
void CheckHrust1(DecoderState& state);
// CheckHrust1 for checks at every position of an image: the same error,
// consumed and produced, in less time.
void CheckHrust1Tight(DecoderState& state);

}  // namespace zantor
