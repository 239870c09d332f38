// The exhaustive passes: no header needed, a raw stream is probed at every
// byte offset with the stream checkers. Found streams cover nothing, so two
// finds may overlap.
#include "codec/hrust1.h"
#include "codec/hrust2.h"
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

Result ProbeEveryOffset(PassContext& context, uint32_t start, uint32_t end, const Probe& probe) {
  for (uint32_t p = start; p < end; ++p) {
    DecoderState state{context.image + p, context.size - p, nullptr, probe.expectedSize};
    probe.check(state);
    if (!PayCheck(context, state.consumed)) return kSuccess;
    if (state.error > 6) FatalError(probe.badErrorCode);
    if (state.error != 0) continue;
    if (state.consumed == 0 || state.consumed > context.size - p ||
        (probe.endsWithZero && context.image[p + state.consumed - 1] != 0))
      FatalError(probe.badStreamCode);
    if (state.produced < context.params.MinBlockSize) continue;
    BlockInfo info{state.consumed, state.produced, 0, 0, probe.format, 0};
    if (!probe.plausible(info)) continue;
    Result r = AddBlockEntry(context.analysis, p, info, false);
    if (r.failed() || ListFull(context)) return r;
  }
  return kSuccess;
}

}  // namespace

Result SearchExhaustiveHrust2(PassContext& context, uint32_t start, uint32_t end) {
  return ProbeEveryOffset(context, start, end, kHrust2Probe);
}

Result SearchExhaustiveHrust1(PassContext& context, uint32_t start, uint32_t end) {
  return ProbeEveryOffset(context, start, end, kHrust1Probe);
}

}  // namespace zantor
