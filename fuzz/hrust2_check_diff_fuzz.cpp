// Both Hrust 2 checkers, whose fast walks hand over to the careful walk, must
// leave the same error, consumed and produced as the careful walk alone.
#include <initializer_list>

#include "codec/hrust2.h"
#include "codec/hrust2_walk.h"
#include "hrust2_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zantor;
  Hrust2FuzzInput input;
  if (!input.Parse(data, size)) return 0;
  DecoderState careful = input.State();
  CheckHrust2Careful(careful);
  for (void (*check)(DecoderState&) : {CheckHrust2, CheckHrust2Tight}) {
    DecoderState fast = input.State();
    check(fast);
    Require(careful.error == fast.error && careful.consumed == fast.consumed && careful.produced == fast.produced);
  }
  return 0;
}
