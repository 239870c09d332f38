// DecodeHrust1 on arbitrary data. The packed data and the output live in
// exactly sized heap blocks, so any read or write outside them trips
// AddressSanitizer. The first two input bytes choose the expected size.
#include <cstdint>
#include <cstring>
#include <memory>

#include "codec/hrust1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  uint32_t expectedSize = uint32_t(data[0]) | uint32_t(data[1]) << 8;
  size -= 2;
  std::unique_ptr<uint8_t[]> packed(new uint8_t[size]);
  if (size > 0) std::memcpy(packed.get(), data + 2, size);
  std::unique_ptr<uint8_t[]> output(new uint8_t[expectedSize]);
  zantor::DecoderState state{packed.get(), uint32_t(size), output.get(), expectedSize};
  zantor::DecodeHrust1(state);
  if (state.produced > expectedSize || state.consumed > size) __builtin_trap();
  zantor::FinishStatus(state);
  return 0;
}
