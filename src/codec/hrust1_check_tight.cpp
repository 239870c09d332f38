// CheckHrust1Tight: CheckHrust1 for the exhaustive search, which starts a
// check at every byte of an image. The codes of the first bit word decide
// most positions of chance data at once; the rest walk as CheckHrust1 does,
// so the error is always that of CheckHrust1, and so are consumed and
// produced.
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
  state.consumed = uint32_t(in.pos + size);
  state.produced = 1;
  Hrust1WalkState walk{in.Register(), kHrust1FirstWidth, 0, 0};
  CheckHrust1Walk(state, walk, expected, 0);
}

}  // namespace zantor
