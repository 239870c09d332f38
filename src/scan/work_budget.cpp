#include "scan/work_budget.h"

#include "scan/trdos.h"

namespace zantor {
namespace {

// Work per image byte each enabled pass adds (the attribute step counts as
// one header pass), and a base for small files. Measured on genuine data
// (hostile_bench --work over the corpus, the sample and the random and
// block-filled benchmark images; the test images): at most 1 unit per byte
// with the default passes, at most 32 with all seven (23 on random data), so
// the corpus fits a quarter of its budget. The slowest crafted data costs
// about 14 ns a unit: an image stays under 0.25 s per MiB with the default
// passes and 2 s with all of them. The base, a few milliseconds, covers the
// checks of a small file.
constexpr uint64_t kHeaderPassWork = 2;
constexpr uint64_t kExhaustivePassWork = 48;
constexpr uint64_t kBaseWork = 256u << 10;
// The attribute step pays for unpacked bytes, which a genuine archive of
// blank screens or memory dumps has hundreds of times more of than packed
// ones. Its own allowance unpacks a full catalogue, 255 members of the
// largest TR-DOS file, whatever their ratio: at most 0.3 s, as unpacking
// data that compresses this well writes long copies.
constexpr uint64_t kUnpackWork = uint64_t{255} * kLargestTrdosFile;

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
  const uint64_t work = kBaseWork + perByte * size;
  return WorkBudget{work < kCeilingWork ? work : kCeilingWork, 0, kUnpackWork};
}

}  // namespace zantor
