#include "scan/work_budget.h"

namespace zantor {
namespace {

// Work per image byte each enabled pass adds, and the budget of any image.
// Measured on genuine data (hostile_bench --work: the corpus, the sample,
// the random and block-filled benchmark images): at most 1 unit per byte
// with the default passes, at most 32 with all seven (23 on random data).
// The slowest crafted data costs about 14 ns a unit, so these figures keep
// an image under 0.25 s per MiB with the defaults and 2 s with all passes;
// the base lets small files do a few million units whatever their size.
constexpr uint64_t kHeaderPassWork = 2;
constexpr uint64_t kExhaustivePassWork = 48;
constexpr uint64_t kBaseWork = 1u << 20;

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
