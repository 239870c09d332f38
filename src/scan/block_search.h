// The Hrust block search: a start check at offset 0 and seven passes of rising
// cost (embedded Hrip archives; basic, deep and exhaustive Hrust 2 / Hrust 1)
// that append Block and EmbeddedArchive entries to a analysis. Stretches that
// an earlier pass accounted for are skipped by the later ones.
#pragma once
#include <cstdint>

#include "base/list.h"
#include "base/result.h"
#include "config/settings.h"
#include "scan/entry.h"
#include "scan/work_budget.h"

namespace zantor {

struct Analysis;

// A stretch of the image: [start, start + length).
struct Span {
  uint32_t start;
  uint32_t length;
};
using CoveredSpans = List<Span>;

// Runs the start check (only when covered is empty) and the enabled passes,
// paying their checks from budget: once it is exhausted the running pass
// stops and no later pass runs. Entries go to the analysis's list, found
// stretches to covered. Fails only for lack of memory or a list overflow.
Result BlockSearch(Analysis& analysis, CoveredSpans& covered, WorkBudget& budget);
// Some search is enabled, but the image is larger than the MaxFileSize of
// every enabled one: nothing beyond the start check looks at it.
bool SkippedForSize(const Analysis& analysis);

// A plausible "hr21" or "Hrst2" header at p fills info.
bool HeaderCheckH2(const uint8_t* image, uint32_t size, uint32_t p, BlockInfo* info);
// A plausible "HR" header at p (p + 6 <= size) fills info.
bool HeaderCheckH1(const uint8_t* image, uint32_t size, uint32_t p, BlockInfo* info);
// Size test of Hrust 2 candidates.
bool Plausible(const BlockInfo& info);
// Size test of Hrust 1 candidates.
bool PlausibleH1(const BlockInfo& info);

// Calls routine(start, end) for every stretch below limit that no span of
// covered (sorted by start) touches; overlapping and nested spans merge on the
// fly. The first failing Result ends the walk and is returned.
template <class Routine>
Result ForEachGap(const CoveredSpans& covered, uint32_t limit, Routine&& routine) {
  uint64_t pos = 0;  // 64-bit: a span may end beyond 4 GiB
  for (uint32_t i = 0; i <= covered.count; ++i) {
    uint64_t gapStart = pos;
    uint32_t gapEnd = limit;
    if (i < covered.count) {
      const Span& span = covered.items[i];
      if (span.start < gapEnd) gapEnd = span.start;
      uint64_t spanEnd = uint64_t{span.start} + span.length;
      if (spanEnd > pos) pos = spanEnd;
    }
    if (gapStart < gapEnd) {
      Result r = routine(static_cast<uint32_t>(gapStart), gapEnd);
      if (r.failed()) return r;
    }
  }
  return kSuccess;
}

// Orders the spans by start (randomised quicksort).
void SortSpans(CoveredSpans& covered);

}  // namespace zantor
