// Both CheckHrust1 implementations on the same input must leave the same
// error, consumed and produced. The input is laid out as for the Hrust 2
// targets: the expected size, then the packed data.
#include "codec/hrust1.h"
#include "hrust2_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zantor;
  Hrust2FuzzInput input;
  if (!input.Parse(data, size)) return 0;
  DecoderState plain = input.State();
  CheckHrust1(plain);
  DecoderState tight = input.State();
  CheckHrust1Tight(tight);
  Require(plain.error == tight.error && plain.consumed == tight.consumed && plain.produced == tight.produced);
  return 0;
}
