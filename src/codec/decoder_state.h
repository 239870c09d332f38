// What both Hrust decoders and checkers share: the working record of one run,
// its status codes and the back-reference copy.
#pragma once
#include <cstdint>

namespace zantor {

enum DecodeStatus : uint8_t {
  kDecodeOk = 0,
  kPackedExhausted = 1,   // a read needed a byte at or beyond packedSize
  kOutputOverflow = 2,    // a write at or beyond expectedSize
  kOffsetNotNegative = 3, // guard: a copy offset that is not negative
  kBeforeOutputStart = 4, // a back-reference before the start of the output
  kZeroLength = 5,        // a copy of length 0
  kInvalidCode = 6,
  kSizeMismatch = 7,      // ended cleanly, produced != expectedSize
  kPackedLeftOver = 8,    // ended cleanly, consumed != packedSize
};

// The caller fills the first four fields and zeroes the rest.
struct DecoderState {
  const uint8_t* packed;
  uint32_t packedSize;
  uint8_t* output;  // null in a check run
  uint32_t expectedSize;
  uint32_t consumed;
  uint32_t produced;
  uint32_t error;   // first error recorded (1..6), 0 = none
  bool stopped;     // set with every error; reads then yield 0, writes drop
};

// The state's error, else 7 on a size mismatch, else 8 on left-over bytes.
DecodeStatus FinishStatus(const DecoderState& state);
// Copies length bytes from produced + offset (offset < 0), byte by byte.
void CopyMatch(DecoderState& state, int32_t offset, uint32_t length);

}  // namespace zantor
