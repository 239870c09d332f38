// Both CheckHrust2 implementations on the same input must leave the same
// error, consumed and produced.
#include "codec/hrust2.h"
#include "hrust2_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zantor;
  Hrust2FuzzInput input;
  if (!input.Parse(data, size)) return 0;
  DecoderState plain = input.State();
  CheckHrust2(plain);
  DecoderState tight = input.State();
  CheckHrust2Tight(tight);
  Require(plain.error == tight.error && plain.consumed == tight.consumed && plain.produced == tight.produced);
  return 0;
}
