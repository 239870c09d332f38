// DecodeHrust2 and UnpackHrust2. Far from the end of the packed data the
// fast walk decodes the codes that surely succeed; the careful walk, in which
// every byte goes through the checked reads and writes of DecoderState, takes
// over at anything else. Nothing is read outside the packed data and nothing
// is written at or beyond expectedSize, whatever the data.
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

// Decodes while the codes surely succeed and the data end is far; returns
// the bit register at the code boundary where it stopped.
Hrust2Bits DecodeFast(DecoderState& s) {
  Hrust2FastReader in{s.packed + s.packedSize, int64_t(s.consumed) - int64_t(s.packedSize),
                      Hrust2FastReader::kEmpty};
  uint8_t* const output = s.output;
  const uint32_t expected = s.expectedSize;
  uint32_t produced = s.produced;  // in a register, not in the state
  if (!in.Far()) return in.CarefulBits();  // short data: careful all along
  in.Reload();
  while (in.Far()) {
    const Hrust2FastReader start = in;
    const uint32_t room = expected - produced;
    uint8_t* to = output + produced;
    const uint32_t window = in.Window();
    if (window >> 31) {
      if (in.OneLiteral(window) && room != 0) {
        *to = in.end[in.Take(window, 1, 1)];
        ++produced;
        continue;
      }
      if (room < 8) break;
      const uint32_t flags = in.LiteralFlags(window);
      std::memcpy(to, in.end + in.TakeLiterals(window, flags), 8);  // up to 8 literals at once
      produced += flags;
      continue;
    }
    if (Hrust2FastReader::ShortCopy(window) && room != 0) {
      const uint32_t distance = in.TakeShortCopy(window);
      if (distance > produced) {
        in = start;
        break;
      }
      *to = *(to - distance);  // one byte: no copy loop
      ++produced;
      continue;
    }
    const Hrust2Code code = in.NextCode(window);
    if (code.kind == Hrust2CodeKind::kCopy && code.distance <= produced && code.length <= room) {
      CopyBack(to, code.distance, code.length, room);
      produced += code.length;
    } else if (code.kind == Hrust2CodeKind::kLiteralRun && room >= code.length + 8 && in.Holds(code.length)) {
      CopyInSteps(to, in.end + in.SkipBytes(code.length), code.length);
      produced += code.length;
    } else {
      in = start;
      break;
    }
  }
  s.consumed = uint32_t(in.pos + int64_t(s.packedSize));
  s.produced = produced;
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
    Hrust2Bits bits = DecodeFast(s);
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
