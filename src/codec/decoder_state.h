// What both Hrust decoders and checkers share: the working record of one run,
// its status codes, the checked byte access and the back-reference copy.
// Every read and write of a run goes through these, so no run reads outside
// the packed data or writes at or beyond expectedSize, whatever the data.
#pragma once
#include <cstdint>
#include <cstring>

#include "base/force_inline.h"

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

// Records error (the first one wins) and stops the run.
inline void StopRun(DecoderState& state, uint32_t error) {
  if (!state.stopped) {
    state.error = error;
    state.stopped = true;
  }
}

// The next packed byte; 0 without advancing when stopped or out of data.
inline uint8_t ReadPackedByte(DecoderState& state) {
  if (state.stopped) return 0;
  if (state.consumed >= state.packedSize) {
    StopRun(state, kPackedExhausted);
    return 0;
  }
  return state.packed[state.consumed++];
}

// Appends one byte to the output; dropped when stopped or full.
inline void WriteOutputByte(DecoderState& state, uint8_t value) {
  if (state.stopped) return;
  if (state.produced >= state.expectedSize) {
    StopRun(state, kOutputOverflow);
    return;
  }
  state.output[state.produced++] = value;
}

// n literal bytes, each read and then written, so a run that meets either
// end stops exactly where the byte-by-byte walk would.
inline void CopyLiterals(DecoderState& state, uint32_t n) {
  if (!state.stopped && n <= state.packedSize - state.consumed &&
      n <= state.expectedSize - state.produced) {
    std::memcpy(state.output + state.produced, state.packed + state.consumed, n);
    state.consumed += n;
    state.produced += n;
    return;
  }
  for (uint32_t i = 0; i < n && !state.stopped; ++i) WriteOutputByte(state, ReadPackedByte(state));
}

// A pattern of distance 1 to 7 bytes repeated from `to` to end (8 bytes at
// least, in 8-byte steps that may run up to 7 bytes past end): its first 8
// bytes one by one, then 8 bytes at a time from the first copy of the pattern
// that starts at least 8 bytes back.
ZANTOR_FORCE_INLINE void CopyPattern(uint8_t* to, uint32_t distance, uint8_t* end) {
  const uint8_t* const from = to - distance;
  for (uint32_t i = 0; i < 8; ++i) to[i] = from[i];
  static constexpr uint8_t kBack[8] = {0, 8, 8, 9, 8, 10, 12, 14};  // a multiple of distance, 8 or more
  const uint32_t back = kBack[distance];
  uint64_t step;
  for (to += 8; to < end; to += 8) {
    std::memcpy(&step, to - back, 8);
    std::memcpy(to, &step, 8);
  }
}

// Copies length bytes (1 to room) from distance bytes back (1 or more) to
// `to`, with room bytes free from `to` on. The result is that of a copy byte
// by byte, so a copy may overlap the bytes it produces (distance 1 repeats the
// last byte).
inline void CopyBack(uint8_t* to, uint32_t distance, uint32_t length, uint32_t room) {
  const uint8_t* from = to - distance;
  if (((distance >= 8) | (length <= distance)) & (length <= 16) & (room >= 16)) {
    // Nearly every copy: two 8-byte steps, the second reading what the first
    // wrote when the distance is below 16. Below 8 only the first distance
    // bytes of the first step are right, and no more are asked for.
    uint64_t step;
    std::memcpy(&step, from, 8);
    std::memcpy(to, &step, 8);
    std::memcpy(&step, from + 8, 8);
    std::memcpy(to + 8, &step, 8);
  } else if (distance >= 16 && room - length >= 16) {
    // Whole 16-byte steps, each read before it is written over; the last one
    // may run up to 15 bytes past the copy, but stays within room.
    for (uint32_t i = 0; i < length; i += 16) std::memcpy(to + i, from + i, 16);
  } else if (distance >= 8 && room - length >= 8) {
    for (uint32_t i = 0; i < length; i += 8) std::memcpy(to + i, from + i, 8);  // the same in 8-byte steps
  } else if (distance < 8 && room - length >= 8) {
    CopyPattern(to, distance, to + length);
  } else {
    for (uint32_t i = 0; i < length; ++i) to[i] = from[i];
  }
}

// Copies length bytes from produced + offset (offset < 0) as CopyBack does.
// Error 5 for length 0, 3 for an offset that is not negative, 4 when the
// distance exceeds produced; a copy that does not fit writes what fits, then 2.
inline void CopyMatch(DecoderState& state, int32_t offset, uint32_t length) {
  if (state.stopped) return;
  if (length == 0) return StopRun(state, kZeroLength);
  if (offset >= 0) return StopRun(state, kOffsetNotNegative);
  uint32_t distance = 0u - static_cast<uint32_t>(offset);
  if (distance > state.produced) return StopRun(state, kBeforeOutputStart);

  uint32_t room = state.expectedSize - state.produced;
  uint32_t n = length <= room ? length : room;
  if (n > 0) CopyBack(state.output + state.produced, distance, n, room);
  state.produced += n;
  if (n < length) StopRun(state, kOutputOverflow);
}

// The length prefix of both formats: S = 1 plus 2-bit groups, each from
// nextGroup, up to a group other than 3 or until S reaches 16.
template <typename Groups>
uint32_t LengthPrefix(Groups&& nextGroup) {
  uint32_t s = 1;
  uint32_t group;
  do {
    group = nextGroup();
    s += group;
  } while (group == 3 && s < 16);
  return s;
}

// The length prefix through the format's bit reader Bits, with its
// ReadBits(state, bits, n).
template <typename Bits>
uint32_t ReadLengthPrefix(DecoderState& state, Bits& bits) {
  return LengthPrefix([&] { return ReadBits(state, bits, 2); });
}

// The length prefix for the fast walks: S and the bits it takes together
// with the 0 flag before it, for the ten bits after the flag: S | bits << 8.
struct LengthPrefixTable {
  uint16_t entry[1024];
  constexpr LengthPrefixTable() : entry() {
    for (uint32_t bits = 0; bits < 1024; ++bits) {
      uint32_t s = 1;
      uint32_t used = 1;
      uint32_t group = 0;
      do {
        group = (bits >> (8 - (used - 1))) & 3;
        s += group;
        used += 2;
      } while (group == 3 && s < 16);
      entry[bits] = uint16_t(s | used << 8);
    }
  }
};
inline constexpr LengthPrefixTable kLengthPrefix{};

}  // namespace zantor
