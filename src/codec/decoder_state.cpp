#include "codec/decoder_state.h"

namespace zantor {

// A size mismatch outranks left-over packed bytes.
DecodeStatus FinishStatus(const DecoderState& state) {
  if (state.error != 0) return static_cast<DecodeStatus>(state.error);
  if (state.produced != state.expectedSize) return kSizeMismatch;
  if (state.consumed != state.packedSize) return kPackedLeftOver;
  return kDecodeOk;
}

}  // namespace zantor
