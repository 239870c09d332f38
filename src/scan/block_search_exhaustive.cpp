// The exhaustive passes: no header needed, a raw stream is probed at every
// byte offset with the stream checkers. Found streams cover nothing, so two
// finds may overlap.
#include "codec/hrust1.h"
#include "codec/hrust1_first_word.h"
#include "codec/hrust2.h"
#include "codec/hrust2_first_codes.h"
#include "scan/block_search_passes.h"

namespace zantor {
namespace {

struct Probe {
  void (*check)(DecoderState& state);
  uint32_t expectedSize;
  FormatCode format;
  bool (*plausible)(const BlockInfo& info);
  bool endsWithZero;          // the end code's last byte is 0
  const char* badErrorCode;   // the checker reported an unknown error
  const char* badStreamCode;  // the checker accepted a stream it cannot have
};

constexpr Probe kHrust2Probe{CheckHrust2Tight, 40960, kFormatHr21, Plausible, true, "ES_H2b", "ES_H2a"};
constexpr Probe kHrust1Probe{CheckHrust1Tight, 65280, kFormatHrust1, PlausibleH1, false, "ES_H1b", "ES_H1a"};
static_assert(kHrust2Probe.expectedSize >= kFirstCodesMargin && kHrust1Probe.expectedSize >= kFirstWordMargin,
              "the first codes decide only checks of this size");

// The first-codes decisions of the checkers: the bytes a failing check
// walked, 0 when its first codes do not decide it.
struct Hrust2FirstTest {
  static constexpr uint32_t kSpan = kHrust2FirstCodesSpan;
  const Hrust2FirstCodesTable& codes = Hrust2FirstCodes();
  uint32_t operator()(const uint8_t* packed) const { return Hrust2FirstCodesFailure(packed, codes).consumed; }
};

struct Hrust1FirstTest {
  static constexpr uint32_t kSpan = kHrust1FirstWordSpan;
  const Hrust1FirstWordTable& words = Hrust1FirstWords();
  uint32_t operator()(const uint8_t* packed) const { return Hrust1FirstWordFailure(packed, words).consumed; }
};

// Nearly every check on chance data fails within its first codes, at a
// position no branch predictor can foresee. A round of positions is sorted
// out first in a loop without branches: those the first codes decide are
// only paid for, the rest run the whole check.
constexpr uint32_t kRound = 512;

struct Round {
  uint32_t undecided[kRound];     // positions in the round still to check
  uint64_t walkedBefore[kRound];  // what the decided checks before each walked
  uint32_t count;
  uint64_t walked;                // what all the decided checks walked
};

template <class FirstTest>
void SortOut(const uint8_t* at, uint32_t positions, const FirstTest& firstTest, Round& round) {
  uint32_t count = 0;
  uint64_t walked = 0;
  for (uint32_t i = 0; i < positions; ++i) {
    const uint32_t consumed = firstTest(at + i);
    round.undecided[count] = i;
    round.walkedBefore[count] = walked;
    count += consumed == 0 ? 1 : 0;
    walked += consumed;
  }
  round.count = count;
  round.walked = walked;
}

// One whole check at p; false when the pass must end (the budget ran out or
// the list is full), with the reason in result.
bool ProbeAt(PassContext& context, uint32_t p, const Probe& probe, Result& result) {
  DecoderState state{context.image + p, context.size - p, nullptr, probe.expectedSize};
  probe.check(state);
  if (!PayCheck(context, state.consumed)) return false;
  if (state.error > 6) FatalError(probe.badErrorCode);
  if (state.error != 0) return true;
  if (state.consumed == 0 || state.consumed > context.size - p ||
      (probe.endsWithZero && context.image[p + state.consumed - 1] != 0))
    FatalError(probe.badStreamCode);
  if (state.produced < context.params.MinBlockSize) return true;
  BlockInfo info{state.consumed, state.produced, 0, 0, probe.format, 0};
  if (!probe.plausible(info)) return true;
  result = AddBlockEntry(context.analysis, p, info, false);
  return !result.failed() && !ListFull(context);
}

// Pays for the checks in the order they stand, so the budget runs out where
// checking one position after the other would exhaust it.
template <class FirstTest>
Result ProbeEveryOffset(PassContext& context, uint32_t start, uint32_t end, const Probe& probe) {
  const FirstTest firstTest;
  Result result = kSuccess;
  uint32_t p = start;
  const uint32_t sortedEnd = context.size < FirstTest::kSpan ? 0 : context.size - FirstTest::kSpan + 1;
  Round round;
  while (p < end && p < sortedEnd) {
    const uint32_t limit = end < sortedEnd ? end : sortedEnd;
    const uint32_t positions = limit - p < kRound ? limit - p : kRound;
    SortOut(context.image + p, positions, firstTest, round);
    uint64_t paid = 0;
    for (uint32_t k = 0; k < round.count; ++k) {
      if (!PayCheck(context, round.walkedBefore[k] - paid)) return kSuccess;
      paid = round.walkedBefore[k];
      if (!ProbeAt(context, p + round.undecided[k], probe, result)) return result;
    }
    if (!PayCheck(context, round.walked - paid)) return kSuccess;
    p += positions;
  }
  for (; p < end; ++p) {
    if (!ProbeAt(context, p, probe, result)) return result;
  }
  return kSuccess;
}

}  // namespace

Result SearchExhaustiveHrust2(PassContext& context, uint32_t start, uint32_t end) {
  return ProbeEveryOffset<Hrust2FirstTest>(context, start, end, kHrust2Probe);
}

Result SearchExhaustiveHrust1(PassContext& context, uint32_t start, uint32_t end) {
  return ProbeEveryOffset<Hrust1FirstTest>(context, start, end, kHrust1Probe);
}

}  // namespace zantor
