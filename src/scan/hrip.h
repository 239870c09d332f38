// The reader of a Hrip archive that the whole image is: walks the chain of
// "Hrst2" block headers, groups the blocks into members, matches them with
// the catalogue and reports every problem it meets.
#pragma once
#include <cstdint>

#include "base/list.h"
#include "base/result.h"
#include "scan/analysis.h"
#include "scan/entry.h"

namespace zantor {

// Appends one ArchiveMember entry per member to entries and sets the
// analysis's hripDamaged, hripReport and hripLength. Success whether or not
// problems were found. The walk ends once entries holds maxEntries entries
// (not a problem). Failures: no memory or list overflow; host code 13 when
// the image has no Hrip header. Members appended before a failure stay.
Result ParseHripArchive(const uint8_t* image, uint32_t imageSize, List<Entry*>& entries, Analysis& analysis,
                        uint32_t maxEntries);

}  // namespace zantor
