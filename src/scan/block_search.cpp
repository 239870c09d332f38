#include "scan/block_search.h"

#include "scan/analysis.h"
#include "scan/block_search_passes.h"
#include "scan/dispatch.h"

namespace zantor {
namespace {

struct Pass {
  ScanParams Settings::*params;
  PassRoutine routine;
};

// Cheap to expensive; each skips what the earlier ones covered.
constexpr Pass kPasses[] = {
    {&Settings::DeepScanParams_Hrust2, SearchEmbeddedArchives},
    {&Settings::BasicScanParams_Hrust2, SearchBasicHrust2},
    {&Settings::BasicScanParams_Hrust1, SearchBasicHrust1},
    {&Settings::DeepScanParams_Hrust2, SearchDeepHrust2},
    {&Settings::DeepScanParams_Hrust1, SearchDeepHrust1},
    {&Settings::ExhaustiveScanParams_Hrust2, SearchExhaustiveHrust2},
    {&Settings::ExhaustiveScanParams_Hrust1, SearchExhaustiveHrust1},
};

// A block right at the start is listed whatever the search settings say; an
// "HR" header there must also test sound, as it is a common text prefix.
Result StartCheck(Analysis& analysis, CoveredSpans& covered, WorkBudget& budget) {
  BlockInfo info{};
  bool accepted = analysis.imageSize >= 8 && HeaderCheckH2(analysis.image, analysis.imageSize, 0, &info);
  if (!accepted && analysis.imageSize >= 6 && HeaderCheckH1(analysis.image, analysis.imageSize, 0, &info)) {
    uint32_t walked = 0;
    bool sound = TestHrustBlock(analysis.image, info, &walked).ok();
    accepted = budget.Spend(walked) && sound;
  }
  if (!accepted) return kSuccess;
  Result r = AddBlockEntry(analysis, 0, info, false);
  if (r.failed()) return r;
  return covered.Append(Span{0, info.headerLength + info.packed});
}

Result RunPass(Analysis& analysis, CoveredSpans& covered, const Pass& pass, CoveredSpans& found,
               WorkBudget& budget) {
  const ScanParams& params = analysis.settings.*pass.params;
  uint32_t limit = params.ScanFirst < analysis.imageSize ? params.ScanFirst : analysis.imageSize;
  PassContext context{analysis, analysis.image, analysis.imageSize, params, found, budget};
  SortSpans(covered);
  Result r = ForEachGap(covered, limit, [&](uint32_t start, uint32_t end) {
    return budget.exhausted ? kSuccess : pass.routine(context, start, end);
  });
  for (uint32_t i = 0; r.ok() && i < found.count; ++i) r = covered.Append(found.items[i]);
  found.count = 0;
  return r;
}

bool PassRuns(const ScanParams& params, uint32_t size) {
  return (params.Enabled & 0xFF) != 0 && size <= params.MaxFileSize;
}

}  // namespace

bool SkippedForSize(const Analysis& analysis) {
  bool enabled = false;
  for (const Pass& pass : kPasses) {
    const ScanParams& params = analysis.settings.*pass.params;
    if (PassRuns(params, analysis.imageSize)) return false;
    enabled = enabled || (params.Enabled & 0xFF) != 0;
  }
  return enabled;
}

Result BlockSearch(Analysis& analysis, CoveredSpans& covered, WorkBudget& budget) {
  if (covered.count == 0) {
    Result r = StartCheck(analysis, covered, budget);
    if (r.failed()) return r;
  }
  CoveredSpans found{};
  Result r = kSuccess;
  for (const Pass& pass : kPasses) {
    const ScanParams& params = analysis.settings.*pass.params;
    if (!PassRuns(params, analysis.imageSize) || analysis.entries.count >= analysis.settings.MaxEntries)
      continue;
    if (budget.exhausted) break;
    r = RunPass(analysis, covered, pass, found, budget);
    if (r.failed()) break;
  }
  found.Destroy();
  return r;
}

}  // namespace zantor
