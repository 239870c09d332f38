// CheckHrust2Tight: CheckHrust2 for the exhaustive search, which starts a
// check at every byte of an image. Most checks there fail within the first
// codes, which a table decides; the rest go to CheckHrust2. So error,
// consumed and produced are always those of CheckHrust2.
#include "codec/hrust2.h"
#include "codec/hrust2_first_codes.h"

namespace zantor {

const Hrust2FirstCodesTable& Hrust2FirstCodes() {
  static const Hrust2FirstCodesTable table;
  return table;
}

void CheckHrust2Tight(DecoderState& state) {
  if (state.packedSize >= kHrust2FirstCodesSpan && state.expectedSize >= kFirstCodesMargin) {
    const FirstCodesFailure failure = Hrust2FirstCodesFailure(state.packed, Hrust2FirstCodes());
    if (failure.consumed != 0) {
      state.consumed = failure.consumed;
      state.produced = failure.produced;
      return StopRun(state, failure.error);
    }
  }
  CheckHrust2(state);
}

}  // namespace zantor
