#include "scan/analysis.h"

#include "scan/analysis_cache.h"
#include "scan/entry.h"
#include "scan/shared_entries.h"

namespace zantor {

void ClearAnalysis(Analysis& analysis) {
  analysis.hripReport.Destroy();
  analysis.hripDamaged = 0;
  analysis.hripLength = 0;
  if (analysis.shared) {
    ReleaseEntries(analysis.shared);
    analysis.shared = nullptr;
    analysis.entries = List<Entry*>{};
    ExpireCachedAnalyses();
    return;
  }
  List<Entry*>& entries = analysis.entries;
  for (uint32_t i = 0; i < entries.count; ++i) {
    DestroyEntry(entries.items[i]);
    entries.items[i] = nullptr;
  }
  entries.Destroy();
}

}  // namespace zantor
