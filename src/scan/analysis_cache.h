// AnalysisCache: the results of the five most recently used analyses, kept
// until unused for 30 seconds, and at most kCacheBytes of entries in all. The
// key is the archive path (compared as the platform's file system does), the
// image size, the last-write time and the whole settings snapshot. The
// entries are shared with the open archives that list them (SharedEntries),
// so an open archive's result costs the cache nothing more.
#pragma once
#include <cstddef>
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
constexpr size_t kCacheBytes = size_t{64} << 20;

// On a hit gives the analysis the cached result (its entries shared, the
// report copied) and sets *hit. A report that cannot be copied fails.
Result LoadCachedAnalysis(const CacheKey& key, Analysis& analysis, bool* hit);
// Shares the analysis's entries with the cache, dropping the least recently
// used results until they fit. A result larger than the whole cache stays
// the analysis's own. Fails (and stores nothing) when memory is short.
Result StoreAnalysis(const CacheKey& key, Analysis& analysis);
// Frees the results unused for longer than the expiry.
void ExpireCachedAnalyses();
// Heap bytes of the entries the cache holds (some shared with open archives).
size_t CachedAnalysisBytes();

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
