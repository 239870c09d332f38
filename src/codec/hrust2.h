// Hrust 2: the decoder, the stream checker and its tighter twin for the
// exhaustive search. All take a fresh DecoderState (packed, packedSize,
// expectedSize; output for decoding, the rest zero) and leave the result in
// it; apply FinishStatus afterwards.
#pragma once
#include <cstdint>

#include "codec/decoder_state.h"

namespace zantor {

// Unpacks state.packed into state.output (never at or beyond expectedSize).
void DecodeHrust2(DecoderState& state);
// Walks the same stream without output; stricter than decoding, it also
// rejects twelve literal flags in a row and a literal run that ends the
// packed data. output may be null.
void CheckHrust2(DecoderState& state);
// CheckHrust2 for checks at every position of an image: the same error,
// consumed and produced, in less time.
void CheckHrust2Tight(DecoderState& state);

// A fresh run of DecodeHrust2 over the packed data, then FinishStatus.
DecodeStatus UnpackHrust2(const uint8_t* packed, uint32_t packedSize, uint8_t* output,
                          uint32_t expectedSize);

}  // namespace zantor
