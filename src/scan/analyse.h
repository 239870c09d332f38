// The analysis of an opened image into the session's entry list: the
// whole-file Hrip test and reader, the block search, names and listed sizes,
// with recent results kept in the analysis cache.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "scan/work_budget.h"

namespace zantor {

struct Session;

// Fills the session's entries and Hrip fields from the cache or by scanning.
// Reads image, imageSize, settings, archiveName, lastWriteTime and dosTime.
Result Analyse(Session& session);

// The uncached analysis, within the budget for the image.
Result ScanImage(Session& session);
// The uncached analysis within the given budget; what is left stays in it.
Result ScanImageWithin(Session& session, WorkBudget& budget);

// The whole image is a Hrip archive (with members, or an empty one).
bool IsWholeHripArchive(const uint8_t* image, uint32_t size);

}  // namespace zantor
