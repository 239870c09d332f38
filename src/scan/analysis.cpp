#include "scan/analysis.h"

#include "scan/entry.h"

namespace zantor {

void ClearAnalysis(Analysis& analysis) {
  analysis.hripReport.Destroy();
  analysis.hripDamaged = 0;
  analysis.hripLength = 0;
  List<Entry*>& entries = analysis.entries;
  for (uint32_t i = 0; i < entries.count; ++i) {
    DestroyEntry(entries.items[i]);
    entries.items[i] = nullptr;
  }
  entries.Destroy();
}

}  // namespace zantor
