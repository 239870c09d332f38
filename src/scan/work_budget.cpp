#include "scan/work_budget.h"

namespace zantor {
namespace {

// Work per image byte each enabled pass adds (the attribute step counts as
// one header pass), and a base for small files. Measured on genuine data
// (hostile_bench --work over the corpus, the sample and the random and
// block-filled benchmark images; the test images): at most 1 unit per byte
// with the default passes, at most 32 with all seven (23 on random data), so
// the corpus fits a quarter of its budget. The slowest crafted data costs
// about 14 ns a unit: an image stays under 0.25 s per MiB with the default
// passes and 2 s with all of them. The base, a few milliseconds, unpacks a
// handful of full-size members of a small archive whatever their ratio.
constexpr uint64_t kHeaderPassWork = 2;
constexpr uint64_t kExhaustivePassWork = 48;
constexpr uint64_t kBaseWork = 256u << 10;

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
