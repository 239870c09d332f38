// The input of every Hrust 2 fuzz target: the expected size (two bytes,
// little-endian), then the packed data. The packed data is copied to a heap
// block of exactly its size, so AddressSanitizer sees any read past its end.
// Seeds are written by the codec tests: run
//   ZANTOR_FUZZ_SEEDS=<folder> codec_tests --gtest_filter=Hrust2FuzzSeeds.*
// and start each program on <folder>/<program name without "_fuzz">.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "codec/decoder_state.h"

namespace zantor {

struct Hrust2FuzzInput {
  std::unique_ptr<uint8_t[]> packed;
  uint32_t packedSize = 0;
  uint32_t expectedSize = 0;

  bool Parse(const uint8_t* data, size_t size) {
    if (size < 2) return false;
    expectedSize = uint32_t(data[0]) | uint32_t(data[1]) << 8;
    packedSize = uint32_t(size - 2);
    packed.reset(new uint8_t[packedSize]);
    if (packedSize > 0) std::memcpy(packed.get(), data + 2, packedSize);
    return true;
  }

  // A fresh state over the packed data; output null for a check run.
  DecoderState State(uint8_t* output = nullptr) const {
    DecoderState state{};
    state.packed = packed.get();
    state.packedSize = packedSize;
    state.output = output;
    state.expectedSize = expectedSize;
    return state;
  }
};

// Stops the fuzzer with a crash report when a property does not hold.
inline void Require(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace zantor
