// DecodeHrust2 and UnpackHrust2. Far from the end of the packed data the
// fast walk decodes the codes that surely succeed; the careful walk, in which
// every byte goes through the checked reads and writes of DecoderState, takes
// over at anything else. Nothing is read outside the packed data and nothing
// is written at or beyond expectedSize, whatever the data.
#include "base/processor.h"
#include "codec/hrust2.h"
#include "codec/hrust2_bits.h"
#include "codec/hrust2_fast.h"

namespace zantor {
namespace {

// Copies bytes in whole 8-byte steps when both sides have room for the last
// step's overshoot.
inline void CopyInSteps(uint8_t* to, const uint8_t* from, uint32_t n) {
  for (uint32_t i = 0; i < n; i += 8) std::memcpy(to + i, from + i, 8);
}

// A code that the table leaves to the slow parser, at produced with room
// bytes left; false, with the reader where it was, when the careful walk
// must take it. Kept out of the loop, whose registers it would crowd.
__attribute__((noinline)) bool SlowStep(Hrust2FastReader& in, uint8_t* to, uint32_t& produced, uint32_t room,
                                        const Hrust2StepEntry& entry) {
  const Hrust2FastReader start = in;
  const Hrust2Code code = in.SlowCode(entry);
  if (code.kind == Hrust2CodeKind::kCopy && code.distance <= produced && code.length <= room) {
    CopyBack(to, code.distance, code.length, room);
  } else if (code.kind == Hrust2CodeKind::kLiteralRun && room >= code.length + 8 && in.Holds(code.length)) {
    CopyInSteps(to, in.end + in.SkipBytes(code.length), code.length);
  } else {
    in = start;
    return false;
  }
  produced += code.length;
  return true;
}

// Decodes while the codes surely succeed and the data end is far; returns
// the bit register at the code boundary where it stopped. Run through RunLoop.
ZANTOR_FORCE_INLINE Hrust2Bits DecodeFast(DecoderState& s) {
  Hrust2FastReader in = Hrust2FastReader::At(s.packed, s.packedSize, s.consumed);
  uint8_t* const output = s.output;
  const uint32_t expected = s.expectedSize;
  uint8_t* to = output + s.produced;
  uint8_t* const last = output + (expected >= 16 ? expected - 16 : 0);  // 16 bytes of room
  while (in.Far() && to <= last) {
    const Hrust2StepEntry& entry = in.Entry();
    if (__builtin_expect(Hrust2FastReader::Slow(entry), 0)) {
      // On a copy, so that the walk's own reader stays in registers.
      Hrust2FastReader slow = in;
      uint32_t produced = uint32_t(to - output);
      if (!SlowStep(slow, to, produced, expected - produced, entry)) break;
      in = slow;
      to = output + produced;
      continue;
    }
    const Hrust2Step step = in.Peek(entry);
    // Literal bytes or a copy, both in two 8-byte steps; a copy from fewer
    // than eight bytes back that overlaps itself goes to CopyBack, which
    // repeats its pattern. Literal flags have distance 0.
    const uint32_t distance = step.distance;
    const uint32_t produced = uint32_t(to - output);
    if (__builtin_expect(distance > produced, 0)) break;
    if (__builtin_expect(distance - 1 < entry.overlap, 0)) {
      CopyBack(to, distance, step.length, expected - produced);
    } else {
      const uint8_t* from = step.literals ? in.end + step.at : to - distance;
      uint64_t bytes;
      std::memcpy(&bytes, from, 8);
      std::memcpy(to, &bytes, 8);
      std::memcpy(&bytes, from + 8, 8);
      std::memcpy(to + 8, &bytes, 8);
    }
    in.Take(step);
    to += step.length;
  }
  s.consumed = uint32_t(in.Pos() + int64_t(s.packedSize));
  s.produced = uint32_t(to - output);
  return in.CarefulBits();
}

// The careful walk: every code, up to the end code or the first error.
void DecodeCodes(DecoderState& s, Hrust2Bits& bits) {
  while (!s.stopped) {
    if (TakeBit(s, bits)) {
      WriteOutputByte(s, ReadPackedByte(s));
      continue;
    }
    uint32_t length = ReadLengthPrefix(s, bits);
    if (length == 1) {
      CopyMatch(s, ReadBitsNeg(s, bits, 3), 1);
      continue;
    }
    if (length == 2) {
      CopyMatch(s, int32_t(ReadPackedByte(s)) - 256, 2);
      continue;
    }
    if (length == 4) {
      if (!TakeBit(s, bits)) {
        CopyLiterals(s, 2 * ReadBits(s, bits, 4) + 12);
        continue;
      }
      length = ReadLongLength(s);
      if (length == 0) return;  // the end code, or a failed read
    } else if (length > 4) {
      length -= 1;
    }
    CopyMatch(s, ReadFarOffset(s, bits), length);
  }
}

}  // namespace

void DecodeHrust2(DecoderState& state) {
  DecoderState s = state;  // a local copy the compiler can keep in registers
  for (uint32_t i = 0; i < kHrust2Tail; ++i) ReadPackedByte(s);  // the tail, written last
  WriteOutputByte(s, ReadPackedByte(s));

  if (!s.stopped) {
    Hrust2Bits bits = RunLoop<DecodeFast>(s);
    DecodeCodes(s, bits);
  }
  // Not stopped: the tail was read, so it lies in the packed data.
  for (uint32_t i = 0; i < kHrust2Tail && !s.stopped; ++i) WriteOutputByte(s, s.packed[i]);
  state = s;
}

DecodeStatus UnpackHrust2(const uint8_t* packed, uint32_t packedSize, uint8_t* output,
                          uint32_t expectedSize) {
  DecoderState state{};
  state.packed = packed;
  state.packedSize = packedSize;
  state.output = output;
  state.expectedSize = expectedSize;
  DecodeHrust2(state);
  return FinishStatus(state);
}

}  // namespace zantor
