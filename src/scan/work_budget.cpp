#include "scan/work_budget.h"

namespace zantor {
namespace {

// Work per image byte each enabled pass adds, and the budget of any image.
// Measured maxima (work per image byte over the corpus, the samples, the test
// images and the random and block-filled benchmark images): the header passes
// together stay below 1, the two exhaustive passes below 7. The figures leave
// a wide margin and still keep a crafted image near 0.25 s per MiB with the
// default passes and 2 s per MiB with all of them.
constexpr uint64_t kHeaderPassWork = 8;
constexpr uint64_t kExhaustivePassWork = 64;
constexpr uint64_t kBaseWork = 64u << 20;

uint64_t PassWork(const ScanParams& params, uint32_t size, uint64_t perByte) {
  return (params.Enabled & 0xFF) != 0 && size <= params.MaxFileSize ? perByte : 0;
}

}  // namespace

WorkBudget AnalysisBudget(const Settings& s, uint32_t size) {
  uint64_t perByte = kHeaderPassWork;  // the start check and the attribute step
  perByte += PassWork(s.BasicScanParams_Hrust2, size, kHeaderPassWork);
  perByte += PassWork(s.BasicScanParams_Hrust1, size, kHeaderPassWork);
  perByte += PassWork(s.DeepScanParams_Hrust2, size, kHeaderPassWork);
  perByte += PassWork(s.DeepScanParams_Hrust1, size, kHeaderPassWork);
  perByte += PassWork(s.ExhaustiveScanParams_Hrust2, size, kExhaustivePassWork);
  perByte += PassWork(s.ExhaustiveScanParams_Hrust1, size, kExhaustivePassWork);
  return WorkBudget{kBaseWork + perByte * size, 0};
}

}  // namespace zantor
