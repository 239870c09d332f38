// The seven pass routines of the block search and what they share. Each is
// called once per uncovered stretch [start, end) and works on the whole image.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "config/settings.h"
#include "scan/analysis.h"
#include "scan/block_search.h"

namespace zantor {

struct PassContext {
  Analysis& analysis;
  const uint8_t* image;
  uint32_t size;
  const ScanParams& params;
  CoveredSpans& found;  // this pass's finds; covered only once the pass ends
  WorkBudget& budget;
};

// Routines end their stretch once an entry they added fills the list.
inline bool ListFull(const PassContext& context) {
  return context.analysis.entries.count >= context.analysis.settings.MaxEntries;
}

// Pays for a check that walked this many packed bytes; false when the budget
// ran out and the routine must end.
inline bool PayCheck(const PassContext& context, uint64_t walked) { return context.budget.Spend(walked); }

inline Result AddFoundSpan(PassContext& context, uint32_t start, uint32_t length) {
  return context.found.Append(Span{start, length});
}

using PassRoutine = Result (*)(PassContext& context, uint32_t start, uint32_t end);

Result SearchEmbeddedArchives(PassContext& context, uint32_t start, uint32_t end);
Result SearchBasicHrust2(PassContext& context, uint32_t start, uint32_t end);
Result SearchBasicHrust1(PassContext& context, uint32_t start, uint32_t end);
Result SearchDeepHrust2(PassContext& context, uint32_t start, uint32_t end);
Result SearchDeepHrust1(PassContext& context, uint32_t start, uint32_t end);
Result SearchExhaustiveHrust2(PassContext& context, uint32_t start, uint32_t end);
Result SearchExhaustiveHrust1(PassContext& context, uint32_t start, uint32_t end);

}  // namespace zantor
