// CheckHrust1 on arbitrary data, as block discovery runs it on headerless
// data: an exactly sized heap copy and an expected size of 65280. A clean
// result must agree with the decoder byte for byte in consumed and produced.
#include <cstdint>
#include <cstring>
#include <memory>

#include "codec/hrust1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> packed(new uint8_t[size]);
  if (size > 0) std::memcpy(packed.get(), data, size);
  zantor::DecoderState check{packed.get(), uint32_t(size), nullptr, 65280};
  zantor::CheckHrust1(check);
  if (check.consumed > size) __builtin_trap();
  if (check.error != 0) return 0;

  std::unique_ptr<uint8_t[]> output(new uint8_t[check.produced]);
  zantor::DecoderState decode{packed.get(), check.consumed, output.get(), check.produced};
  zantor::DecodeHrust1(decode);
  if (zantor::FinishStatus(decode) != zantor::kDecodeOk) __builtin_trap();
  return 0;
}
