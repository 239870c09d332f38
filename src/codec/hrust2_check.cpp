// CheckHrust2: the decoder's walk without output. It reads the same bits and
// bytes in the same order, so consumed advances exactly as in decoding, and
// is stricter in the few places where real packed data never goes. Far from
// the end of the packed data the fast walk checks the codes that surely pass
// (and fails copies from before the start of the output); it hands over to
// the careful walk at any other code, at the end code and near the end of
// the data, so every outcome is the careful walk's.
#include "base/processor.h"
#include "codec/hrust2.h"
#include "codec/hrust2_fast.h"
#include "codec/hrust2_walk.h"
#include "codec/periodic.h"

namespace zantor {
namespace {

// Bytes walked carefully before CheckHrust2 goes on with the fast walk. Most
// checks of chance data end within them; on crafted data that repeats a few
// bytes, or holds nothing but long copies, the careful walk's branches are
// all predicted and it is the faster one there.
constexpr uint32_t kHrust2CarefulStart = 64;

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

void CheckHrust2Codes(DecoderState& state, Hrust2Bits& bits, uint32_t literalRow);

// A copy from before the start of the output, the common end of a check on
// chance data: the careful walk fails it after reading all of it.
void FailCopy(DecoderState& state, const Hrust2FastReader& in, uint32_t produced) {
  state.consumed = uint32_t(in.Pos() + int64_t(state.packedSize));
  state.produced = produced;
  StopRun(state, kBeforeOutputStart);
}

// Checks the codes from a code boundary far from the end of the packed data
// on, with produced and the number of literal flags in a row so far, then
// hands over to the careful walk where the fast walk stops. Run through RunLoop.
ZANTOR_FORCE_INLINE void CheckHrust2Fast(DecoderState& state, Hrust2FastReader in, uint32_t produced,
                                         uint32_t literalRow) {
  // The careful walk stops at the code after produced passes expectedSize;
  // until then every flag of a row of literal flags is a code of its own.
  constexpr uint32_t kRowEnd = kHrust2MaxFlagsPerStep - 1;
  const uint32_t lastStart = state.expectedSize >= kRowEnd ? state.expectedSize - kRowEnd : 0;
  for (uint32_t steps = 1; in.Far() && produced <= lastStart; ++steps) {
    if (steps % 64 == 0 && in.Pos() <= -kPeriodicSpan && Periodic(in.end + in.Pos())) break;
    const uint32_t entry = in.Entry();
    if (__builtin_expect(!Hrust2FastReader::Slow(entry), 1)) {
      const Hrust2Step step = in.Peek(entry);
      // The careful walk stops at the first literal flag too many; a copy
      // resets the row.
      const uint32_t row = (literalRow + step.length) & (0u - step.literals);
      if (row > kHrust2MaxLiteralRow) break;
      in.Take(step);
      if (step.distance > produced) return FailCopy(state, in, produced);  // never literal flags
      literalRow = row;
      produced += step.length;
      continue;
    }
    const Hrust2FastReader start = in;
    const Hrust2Code code = in.SlowCode(entry);
    if (code.kind == Hrust2CodeKind::kCopy && code.distance <= produced) {
      produced += code.length;
    } else if (code.kind == Hrust2CodeKind::kCopy) {
      return FailCopy(state, in, produced);
    } else if (code.kind == Hrust2CodeKind::kLiteralRun && in.Holds(code.length)) {
      in.SkipBytes(code.length);
      produced += code.length;
    } else {
      in = start;
      break;
    }
    literalRow = 0;
  }

  state.consumed = uint32_t(in.Pos() + int64_t(state.packedSize));
  state.produced = produced;
  Hrust2Bits bits = in.CarefulBits();
  CheckHrust2Codes(state, bits, literalRow);
}

// The careful walk: checks the codes from the state's position on up to the
// end code or the first error (false), or to the first code boundary at or
// beyond until bytes consumed (true).
bool WalkCodes(DecoderState& state, Hrust2Bits& bits, uint32_t& literalRow, uint32_t until) {
  while (!state.stopped) {
    if (state.consumed >= until) return true;
    if (state.produced > state.expectedSize) {
      StopRun(state, kOutputOverflow);
      return false;
    }
    if (TakeBit(state, bits)) {
      if (++literalRow > kHrust2MaxLiteralRow) {
        StopRun(state, kInvalidCode);
        return false;
      }
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
        if (state.stopped) return false;
        SkipPacked(state, n);
        state.produced += n;
        continue;
      }
      length = ReadLongLength(state);
      if (length == 0) return false;  // the end code, or a failed read
    } else if (length > 4) {
      length -= 1;
    }
    CountMatch(state, ReadFarOffset(state, bits), length);
  }
  return false;
}

void FinishCheck(DecoderState& state) {
  if (state.stopped) return;
  state.produced += kHrust2Tail;
  if (state.produced > state.expectedSize) StopRun(state, kOutputOverflow);
}


// The careful walk from the state's position on, with the bit register and
// the number of literal flags in a row so far, to the end of the stream.
void CheckHrust2Codes(DecoderState& state, Hrust2Bits& bits, uint32_t literalRow) {
  WalkCodes(state, bits, literalRow, UINT32_MAX);
  FinishCheck(state);
}

}  // namespace

void CheckHrust2Careful(DecoderState& state) {
  SkipPacked(state, kHrust2Tail + 1);  // the tail and the first byte
  state.produced = 1;
  Hrust2Bits bits;
  CheckHrust2Codes(state, bits, 0);
}

void CheckHrust2(DecoderState& state) {
  SkipPacked(state, kHrust2Tail + 1);  // the tail and the first byte
  state.produced = 1;
  Hrust2Bits bits;
  uint32_t literalRow = 0;
  if (!WalkCodes(state, bits, literalRow, kHrust2CarefulStart)) return FinishCheck(state);
  const Hrust2FastReader in = Hrust2FastReader::At(state.packed, state.packedSize, state.consumed, bits);
  if (!in.Far()) return CheckHrust2Codes(state, bits, literalRow);
  RunLoop<CheckHrust2Fast>(state, in, state.produced, literalRow);
}

}  // namespace zantor
