// CheckHrust1Tight: CheckHrust1 for the exhaustive search, which starts a
// check at every byte of an image. Far from the end of the packed data it
// runs the fast walk with unchecked reads; a copy from before the start of
// the output, by far the most common end of a check on chance data, fails
// right there, as the careful walk would fail it. At any other code that may
// fail, at the end code and near the end of the data it hands over to the
// careful walk, so the error is always that of CheckHrust1, and so are
// consumed and produced.
#include "codec/hrust1.h"
#include "codec/hrust1_fast.h"
#include "codec/hrust1_first_word.h"
#include "codec/hrust1_walk.h"

namespace zantor {
namespace {

// Bounds produced in the fast walk well below wrapping: no code adds more
// than 3839 + 255 bytes.
constexpr uint32_t kFastExpectedLimit = UINT32_MAX - 65536;

}  // namespace

const Hrust1FirstWordTable& Hrust1FirstWords() {
  static const Hrust1FirstWordTable table;
  return table;
}

void CheckHrust1Tight(DecoderState& state) {
  const int64_t size = state.packedSize;
  // The tail, the first word and the first byte.
  Hrust1FastReader in{state.packed + size, kHrust1Tail - size, 0, 16};
  if (!in.Far() || state.expectedSize > kFastExpectedLimit) return CheckHrust1(state);
  in.NextWord();
  in.Byte();
  const FirstCodesFailure failure = Hrust1FirstWordFailure(state.packed, Hrust1FirstWords());
  if (failure.consumed != 0 && size >= kHrust1FirstWordSpan && state.expectedSize >= kFirstWordMargin) {
    state.consumed = failure.consumed;
    state.produced = failure.produced;
    return StopRun(state, failure.error);
  }

  const uint32_t expected = state.expectedSize;
  uint32_t produced = 1;  // the walk's values in registers, not in memory
  uint32_t highWidth = kHrust1FirstWidth;
  int32_t lastShortOffset = 0;
  uint32_t literalRow = 0;
  while (in.Far() && produced <= expected) {
    const Hrust1FastReader start = in;
    const uint64_t window = in.Window();
    if (window >> 63) {
      const uint32_t flags = in.TakeLiteralFlags(window, kHrust1MaxLiteralRow + 1);
      if (literalRow + flags > kHrust1MaxLiteralRow || flags > expected - produced + 1) {
        in = start;
        break;
      }
      in.pos += flags;  // their data bytes
      produced += flags;
      literalRow += flags;
      lastShortOffset = 0;
      continue;
    }
    Hrust1Code code;
    if (!in.BitsOnlyCopy(window, code)) code = in.ParseCode(window, highWidth);
    const int32_t offset = int32_t(0u - code.distance);
    if (code.checkerRejects || code.kind == Hrust1CodeKind::kCareful ||
        (code.shortCopy && offset == lastShortOffset)) {
      in = start;
      break;
    }
    if (code.kind == Hrust1CodeKind::kWidthStep) {
      highWidth = NextHighWidth(highWidth);
    } else if (code.kind == Hrust1CodeKind::kLiteralRun) {
      if (in.pos + code.length >= 0) {  // the careful walk wants a byte after the run
        in = start;
        break;
      }
      in.pos += code.length;
      produced += code.length;
    } else if (code.distance > produced) {
      // Copy or gap copy: the careful walk stops at the distance, before a
      // gap copy's stream byte.
      state.consumed = uint32_t(in.pos + size);
      state.produced = produced;
      StopRun(state, kBeforeOutputStart);
      return;
    } else {
      if (code.kind == Hrust1CodeKind::kGapCopy) in.Byte();
      produced += code.length;
    }
    lastShortOffset = code.shortCopy ? offset : 0;
    literalRow = 0;
  }

  state.consumed = uint32_t(in.pos + size);
  state.produced = produced;
  CheckHrust1Codes(state, {in.Register(), highWidth, lastShortOffset, literalRow});
}

}  // namespace zantor
