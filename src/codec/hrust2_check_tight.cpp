// CheckHrust2Tight: CheckHrust2 for the exhaustive search, which starts a
// check at every byte of an image. Far from the end of the packed data it
// runs the fast walk, with the read position kept as a negative distance
// from the end and the bit register in one byte with a marker bit; it hands
// over to the careful walk at the first code that may fail, at the end code
// and near the end of the data. So error, consumed and produced are always
// those of CheckHrust2.
#include "codec/hrust2.h"
#include "codec/hrust2_fast.h"
#include "codec/hrust2_first_codes.h"
#include "codec/hrust2_walk.h"

namespace zantor {

const Hrust2FirstCodesTable& Hrust2FirstCodes() {
  static const Hrust2FirstCodesTable table;
  return table;
}

void CheckHrust2Tight(DecoderState& state) {
  Hrust2FastReader in{state.packed + state.packedSize, int64_t(kHrust2Tail + 1) - int64_t(state.packedSize),
                      Hrust2FastReader::kEmpty};
  if (!in.Far()) return CheckHrust2(state);  // short data: careful all along
  const FirstCodesFailure failure = Hrust2FirstCodesFailure(state.packed, Hrust2FirstCodes());
  if (failure.consumed != 0 && state.packedSize >= kHrust2FirstCodesSpan &&
      state.expectedSize >= kFirstCodesMargin) {
    state.consumed = failure.consumed;
    state.produced = failure.produced;
    return StopRun(state, failure.error);
  }

  const uint32_t expected = state.expectedSize;
  uint32_t produced = 1;
  uint32_t literalRow = 0;
  while (in.Far() && produced <= expected) {
    const Hrust2FastReader start = in;
    const uint32_t window = in.Window();
    if (window >> 31) {
      const uint32_t flags = in.TakeLiteralFlags(window);
      if (literalRow + flags > kHrust2MaxLiteralRow || flags > expected - produced + 1) {
        in = start;
        break;
      }
      in.pos += flags;  // their data bytes
      produced += flags;
      literalRow += flags;
      continue;
    }
    Hrust2Code code;
    if (!in.ShortCopy(window, code)) code = in.ParseCode(window);
    if (code.kind == Hrust2CodeKind::kCopy && code.distance <= produced) {
      produced += code.length;
    } else if (code.kind == Hrust2CodeKind::kCopy) {
      // A copy from before the start of the output, the common end of a check
      // on chance data: the careful walk fails it after reading all of it.
      state.consumed = uint32_t(in.pos + int64_t(state.packedSize));
      state.produced = produced;
      return StopRun(state, kBeforeOutputStart);
    } else if (code.kind == Hrust2CodeKind::kLiteralRun && in.pos + code.length < 0) {
      in.pos += code.length;
      produced += code.length;
    } else {
      in = start;
      break;
    }
    literalRow = 0;
  }

  state.consumed = uint32_t(in.pos + int64_t(state.packedSize));
  state.produced = produced;
  Hrust2Bits bits;
  bits.word = in.reg << 24;
  CheckHrust2Codes(state, bits, literalRow);
}

}  // namespace zantor
