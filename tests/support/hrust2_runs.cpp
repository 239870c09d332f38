#include "support/hrust2_runs.h"

#include <memory>

#include "codec/hrust2.h"
#include "support/image_builder.h"

namespace zantor::test {
namespace {

Hrust2Outcome Outcome(const DecoderState& state) {
  Hrust2Outcome o;
  o.error = state.error;
  o.consumed = state.consumed;
  o.produced = state.produced;
  o.status = FinishStatus(state);
  return o;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Hrust2Outcome& o) {
  return out << "{error " << o.error << ", consumed " << o.consumed << ", produced " << o.produced
             << ", status " << o.status << "}";
}

Hrust2Outcome DecodeHrust2Exact(const std::vector<uint8_t>& packed, uint32_t expectedSize) {
  auto in = ExactCopy(packed);
  std::unique_ptr<uint8_t[]> out(new uint8_t[expectedSize]);
  DecoderState state{};
  state.packed = in.get();
  state.packedSize = uint32_t(packed.size());
  state.output = out.get();
  state.expectedSize = expectedSize;
  DecodeHrust2(state);
  Hrust2Outcome o = Outcome(state);
  o.output.assign(out.get(), out.get() + state.produced);
  return o;
}

Hrust2Outcome CheckHrust2With(void (*check)(DecoderState&), const std::vector<uint8_t>& packed,
                              uint32_t expectedSize) {
  auto in = ExactCopy(packed);
  DecoderState state{};
  state.packed = in.get();
  state.packedSize = uint32_t(packed.size());
  state.expectedSize = expectedSize;
  check(state);
  return Outcome(state);
}

}  // namespace zantor::test
