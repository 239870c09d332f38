// Both Hrust 1 checkers on the same input must leave the error, consumed and
// produced of the careful walk alone. The input is laid out as for the Hrust 2
// targets: the expected size, then the packed data.
#include "codec/hrust1.h"
#include "codec/hrust1_walk.h"
#include "hrust2_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zantor;
  Hrust2FuzzInput input;
  if (!input.Parse(data, size)) return 0;
  DecoderState careful = input.State();
  CheckHrust1Careful(careful);
  DecoderState plain = input.State();
  CheckHrust1(plain);
  DecoderState tight = input.State();
  CheckHrust1Tight(tight);
  auto same = [&](const DecoderState& s) {
    return s.error == careful.error && s.consumed == careful.consumed && s.produced == careful.produced;
  };
  Require(same(plain) && same(tight));
  return 0;
}
