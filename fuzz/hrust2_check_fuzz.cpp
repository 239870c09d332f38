// CheckHrust2 on arbitrary data: it must stay inside the packed data (which
// AddressSanitizer watches) and report a sound outcome.
#include "codec/hrust2.h"
#include "hrust2_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zantor;
  Hrust2FuzzInput input;
  if (!input.Parse(data, size)) return 0;
  DecoderState state = input.State();
  CheckHrust2(state);
  Require(state.error <= kInvalidCode && state.stopped == (state.error != 0));
  if (state.error == 0)
    Require(state.consumed <= input.packedSize && state.produced >= 7 &&
            state.produced <= input.expectedSize);
  return 0;
}
