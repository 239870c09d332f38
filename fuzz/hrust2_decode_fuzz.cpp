// DecodeHrust2 on arbitrary data, with the output in a heap block of exactly
// the expected size. A stream that the checker accepts must decode to the
// same sizes, and a decoded stream ends with the six bytes stored up front.
#include "codec/hrust2.h"
#include "hrust2_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zantor;
  Hrust2FuzzInput input;
  if (!input.Parse(data, size)) return 0;
  std::unique_ptr<uint8_t[]> output(new uint8_t[input.expectedSize]);
  DecoderState decoded = input.State(output.get());
  DecodeHrust2(decoded);
  Require(decoded.consumed <= input.packedSize && decoded.produced <= input.expectedSize);
  Require(decoded.error <= kInvalidCode && decoded.stopped == (decoded.error != 0));
  DecodeStatus status = FinishStatus(decoded);
  if (status == kDecodeOk)
    Require(std::memcmp(output.get() + input.expectedSize - 6, input.packed.get(), 6) == 0);

  DecoderState checked = input.State();
  CheckHrust2(checked);
  if (FinishStatus(checked) == kDecodeOk) Require(status == kDecodeOk);
  return 0;
}
