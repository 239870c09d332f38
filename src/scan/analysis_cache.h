// AnalysisCache: the results of the five most recently used analyses, kept
// until unused for 30 seconds. The key is the archive path (compared as the
// platform's file system does), the image size, the last-write time and the whole settings
// snapshot. Entries are deep copies both ways: nothing is shared with an
// open archive.
#pragma once
#include <cstdint>

#include "base/result.h"

namespace zantor {

struct Analysis;

// Which file an analysis is of: its path as kept (UTF-8) and its last-write
// time (FILETIME).
struct CacheKey {
  const char* path;
  uint64_t lastWriteTime;
};

constexpr uint32_t kCacheSlots = 5;
constexpr uint64_t kCacheExpiry = 300000000;  // 30 s in 100 ns units

// On a hit copies the cached result into the analysis and sets *hit. A
// failed copy is returned (entries copied so far stay with the analysis).
Result LoadCachedAnalysis(const CacheKey& key, Analysis& analysis, bool* hit);
// Stores a deep copy of the analysis's result, replacing the least recently
// used slot. Fails (and stores nothing) when the copy cannot be made.
Result StoreAnalysis(const CacheKey& key, const Analysis& analysis);

// The clock of the cache stamps, in 100 ns units. Tests inject their own;
// null restores the platform clock.
using CacheClock = uint64_t (*)();
void SetCacheClock(CacheClock clock);

// Platform: a monotonic clock in 100 ns units.
uint64_t PlatformCacheClock();

// Platform: how many of the first length bytes of path name the file.
// Windows drops trailing dots ("x." is "x"); elsewhere every byte counts.
uint32_t SignificantPathLength(const char* path, uint32_t length);

}  // namespace zantor
