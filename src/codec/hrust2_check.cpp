// CheckHrust2: the decoder's walk without output. It reads the same bits and
// bytes in the same order, so consumed advances exactly as in decoding, and
// is stricter in the few places where real packed data never goes.
#include "codec/hrust2.h"
#include "codec/hrust2_walk.h"

namespace zantor {
namespace {

// Skips n bytes in one step; the position moves on even when they are not
// all there. At least one byte must follow them: every stream still needs
// its end code's byte.
void SkipPacked(DecoderState& state, uint32_t n) {
  if (state.stopped) return;
  if (n >= state.packedSize - state.consumed) StopRun(state, kPackedExhausted);
  state.consumed += n;
}

// The check-run copy: only the distance is checked, and produced grows even
// beyond expectedSize, which is caught before the next code.
void CountMatch(DecoderState& state, int32_t offset, uint32_t length) {
  if (state.stopped) return;
  if (0u - static_cast<uint32_t>(offset) > state.produced) return StopRun(state, kBeforeOutputStart);
  state.produced += length;
}

}  // namespace

void CheckHrust2(DecoderState& state) {
  SkipPacked(state, kHrust2Tail + 1);  // the tail and the first byte
  state.produced = 1;
  Hrust2Bits bits;
  CheckHrust2Codes(state, bits, 0);
}

void CheckHrust2Codes(DecoderState& state, Hrust2Bits& bits, uint32_t literalRow) {
  while (!state.stopped) {
    if (state.produced > state.expectedSize) return StopRun(state, kOutputOverflow);
    if (TakeBit(state, bits)) {
      if (++literalRow > kHrust2MaxLiteralRow) return StopRun(state, kInvalidCode);
      ReadPackedByte(state);
      if (!state.stopped) ++state.produced;
      continue;
    }
    literalRow = 0;
    uint32_t length = ReadLengthPrefix(state, bits);
    if (length == 1) {
      CountMatch(state, ReadBitsNeg(state, bits, 3), 1);
      continue;
    }
    if (length == 2) {
      CountMatch(state, int32_t(ReadPackedByte(state)) - 256, 2);
      continue;
    }
    if (length == 4) {
      if (!TakeBit(state, bits)) {
        uint32_t n = 2 * ReadBits(state, bits, 4) + 12;
        if (state.stopped) break;
        SkipPacked(state, n);
        state.produced += n;
        continue;
      }
      length = ReadLongLength(state);
      if (length == 0) break;  // the end code, or a failed read
    } else if (length > 4) {
      length -= 1;
    }
    CountMatch(state, ReadFarOffset(state, bits), length);
  }
  if (state.stopped) return;

  state.produced += kHrust2Tail;
  if (state.produced > state.expectedSize) StopRun(state, kOutputOverflow);
}

}  // namespace zantor
