// The Hrust 2 bit reader and the code pieces that the decoder and the checker
// read the same way. Bits come from bit bytes, most significant first; a bit
// byte is fetched only when a bit is wanted and none is left, so bit bytes
// and data bytes interleave in the order the codes ask for them.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "codec/decoder_state.h"

namespace zantor {

constexpr uint32_t kHrust2Tail = 6;  // last unpacked bytes, stored up front
// The checkers reject longer rows of literal flags: real streams never hold them.
constexpr uint32_t kHrust2MaxLiteralRow = 11;

struct Hrust2Bits {
  // Unread bits from bit 31 down, followed by a marker bit; the register is
  // empty when only the marker is left, at the top.
  static constexpr uint32_t kEmpty = 0x80000000u;
  uint32_t word = kEmpty;
};

inline uint32_t TakeBit(DecoderState& state, Hrust2Bits& bits) {
  if (bits.word == Hrust2Bits::kEmpty) bits.word = uint32_t(ReadPackedByte(state)) << 24 | 0x00800000u;
  uint32_t bit = bits.word >> 31;
  bits.word <<= 1;
  return bit;
}

// n bits (1 to 8), the first taken being the most significant. A field that
// runs out of unread bits takes the rest from the next bit byte.
inline uint32_t TakeBits(DecoderState& state, Hrust2Bits& bits, uint32_t n) {
  uint32_t word = bits.word;
  if (word << n != 0) {  // the marker survives the shift: n bits at hand
    bits.word = word << n;
    return word >> (32 - n);
  }
  uint32_t unread = 31 - uint32_t(__builtin_ctz(word));  // the marker's place tells
  uint32_t high = uint32_t(uint64_t(word) >> (32 - unread));
  uint32_t rest = n - unread;
  word = uint32_t(ReadPackedByte(state)) << 24 | 0x00800000u;
  bits.word = word << rest;
  return high << rest | word >> (32 - rest);
}

inline uint32_t ReadBits(DecoderState& state, Hrust2Bits& bits, uint32_t n) {
  if (n < 2 || n > 4) FatalError("DH21_RB");
  return TakeBits(state, bits, n);
}

// n bits v as v - 2^n (-2^n to -1).
inline int32_t ReadBitsNeg(DecoderState& state, Hrust2Bits& bits, uint32_t n) {
  if (n < 1 || n > 4) FatalError("DH21_RBN");
  return int32_t(TakeBits(state, bits, n)) - (int32_t(1) << n);
}

// The length after the bits 0 11 00 1: byte x, with x = 0 the end code
// (returned as 0) and x from 1 to 15 the high byte of a long length.
inline uint32_t ReadLongLength(DecoderState& state) {
  uint32_t x = ReadPackedByte(state);
  if (x == 0 || x >= 16) return x;
  return x << 8 | ReadPackedByte(state);
}

// The offset of a copy of three or more bytes (-65536 to -1). An escape byte
// of 227 or more is invalid: error 6.
inline int32_t ReadFarOffset(DecoderState& state, Hrust2Bits& bits) {
  if (TakeBit(state, bits)) return int32_t(ReadPackedByte(state)) - 256;
  uint32_t width = uint32_t(-ReadBitsNeg(state, bits, 2));  // 1 to 4
  int32_t high = ReadBitsNeg(state, bits, width) + 1 - (int32_t(1) << width);
  if (high == -31) {
    uint32_t escape = ReadPackedByte(state);
    if (escape >= 227) StopRun(state, kInvalidCode);
    high = int32_t(escape) - 256;
  }
  return high * 256 + int32_t(ReadPackedByte(state));
}

}  // namespace zantor
