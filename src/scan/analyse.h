// The analysis of an opened image into its entry list: the
// whole-file Hrip test and reader, the block search, names and listed sizes,
// with recent results kept in the analysis cache.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "scan/work_budget.h"

namespace zantor {

struct Analysis;

// Fills the analysis's entries and Hrip fields from the cache or by scanning.
// The file's path (UTF-8, as the plugin keeps it) and last-write time
// (FILETIME) tell the cache which file the image is.
Result Analyse(Analysis& analysis, const char* path, uint64_t lastWriteTime);

// The uncached analysis, within the budget for the image.
Result ScanImage(Analysis& analysis);
// The uncached analysis within the given budget; what is left stays in it.
Result ScanImageWithin(Analysis& analysis, WorkBudget& budget);

// The whole image is a Hrip archive (with members, or an empty one).
bool IsWholeHripArchive(const uint8_t* image, uint32_t size);

}  // namespace zantor
