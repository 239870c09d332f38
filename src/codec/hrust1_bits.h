// The Hrust 1 bit reader: 16-bit little-endian bit words taken from the top
// bit down. The next word is fetched as soon as the last bit of the current
// one is taken (eager fetch), so there is always at least one unread bit.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "codec/decoder_state.h"

namespace zantor {

struct Hrust1Bits {
  uint32_t word;    // the current bit word
  uint32_t unread;  // 1 to 16: the low bits of word not yet taken
};

// A word needs two bytes; with fewer left nothing is consumed.
inline void FetchWord(DecoderState& state, Hrust1Bits& bits) {
  bits.unread = 16;
  bits.word = 0;
  if (state.stopped) return;
  if (state.packedSize - state.consumed < 2) {
    StopRun(state, kPackedExhausted);
    return;
  }
  const uint8_t* p = state.packed + state.consumed;
  bits.word = uint32_t(p[0]) | uint32_t(p[1]) << 8;
  state.consumed += 2;
}

inline uint32_t TakeBit(DecoderState& state, Hrust1Bits& bits) {
  --bits.unread;
  uint32_t bit = (bits.word >> bits.unread) & 1;
  if (bits.unread == 0) FetchWord(state, bits);
  return bit;
}

// n from 1 to 8 bits, the first taken being the most significant. A field
// that runs out of the current word continues in the next one.
inline uint32_t TakeBits(DecoderState& state, Hrust1Bits& bits, uint32_t n) {
  if (n < bits.unread) {
    bits.unread -= n;
    return (bits.word >> bits.unread) & ((1u << n) - 1);
  }
  uint32_t rest = n - bits.unread;
  uint32_t high = bits.word & ((1u << bits.unread) - 1);
  FetchWord(state, bits);
  bits.unread -= rest;  // rest <= 7, so the new word is never used up here
  return (high << rest) | ((bits.word >> bits.unread) & ((1u << rest) - 1));
}

inline uint32_t ReadBits(DecoderState& state, Hrust1Bits& bits, uint32_t n) {
  if (n < 2 || n > 7) FatalError("DH13_RB");
  return TakeBits(state, bits, n);
}

// n bits v as v - 2^n (-2^n to -1).
inline int32_t ReadBitsNeg(DecoderState& state, Hrust1Bits& bits, uint32_t n) {
  if (n < 1 || n > 8) FatalError("DH13_RBN");
  return int32_t(TakeBits(state, bits, n)) - (int32_t(1) << n);
}

// The end code written as the exact last seven bits of a word: it is
// recognised without taking those bits, so no further word is fetched.
inline bool EndCodeEndsWord(const Hrust1Bits& bits) {
  return bits.unread == 7 && (bits.word & 0x7F) == 0x0F;
}

}  // namespace zantor
