#include "scan/analysis_cache.h"

#include <atomic>
#include <cstring>
#include <thread>

#include "base/heap.h"
#include "scan/analysis.h"
#include "scan/entry.h"
#include "scan/shared_entries.h"

namespace zantor {
namespace {

struct AnalysisRecord {
  uint8_t isHripArchive;
  uint8_t hripDamaged;
  char* hripReport;  // zero-terminated heap copy
  uint32_t hripLength;
  SharedEntries* entries;  // one reference
};

struct CacheSlot {
  uint64_t stamp;  // clock of the last store or hit; 0 = free
  char* path;  // zero-terminated heap copy
  uint64_t imageSize;
  uint64_t lastWriteTime;
  Settings settings;
  AnalysisRecord record;
};

CacheSlot g_slots[kCacheSlots];
size_t g_bytes;  // of the entries the slots hold
std::atomic_flag g_lock = ATOMIC_FLAG_INIT;
std::atomic<CacheClock> g_clock{nullptr};

// Held only for expiry, lookup, taking a hit and the store; never across
// scanning, file access or freeing, so waiting is short. A waiter gives up
// its time slice: the holder may be preempted on a busy machine.
class CacheLock {
 public:
  CacheLock() {
    while (g_lock.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  }
  ~CacheLock() { g_lock.clear(std::memory_order_release); }
  CacheLock(const CacheLock&) = delete;
  CacheLock& operator=(const CacheLock&) = delete;
};

// Slots taken out under the lock, freed once it is let go.
class Dropped {
 public:
  ~Dropped() {
    for (uint32_t i = 0; i < count_; ++i) FreeSlot(slots_[i]);
  }
  void Take(CacheSlot& slot) {
    if (slot.stamp != 0) g_bytes -= slot.record.entries->bytes;
    slots_[count_++] = slot;
    std::memset(&slot, 0, sizeof slot);
  }

 private:
  static void FreeSlot(CacheSlot& slot) {
    Release(slot.record.hripReport);
    ReleaseEntries(slot.record.entries);
    Release(slot.path);
  }
  CacheSlot slots_[kCacheSlots];
  uint32_t count_ = 0;
};

uint64_t Now() {
  CacheClock clock = g_clock.load(std::memory_order_relaxed);
  uint64_t now = clock ? clock() : PlatformCacheClock();
  return now ? now : 1;  // 0 marks a free slot
}

// Unsigned difference: a clock that went back also expires the slot.
void Expire(uint64_t now, Dropped& dropped) {
  for (CacheSlot& slot : g_slots)
    if (slot.stamp != 0 && now - slot.stamp > kCacheExpiry) dropped.Take(slot);
}

uint32_t PathLength(const char* path) {
  return SignificantPathLength(path, static_cast<uint32_t>(std::strlen(path)));
}

// A heap copy of path, or null when memory is exhausted.
char* CopyPath(const char* path) {
  const size_t size = std::strlen(path) + 1;
  char* copy = static_cast<char*>(Allocate(size));
  if (copy) std::memcpy(copy, path, size);
  return copy;
}

bool SamePath(const char* a, const char* b) {
  uint32_t length = PathLength(a);
  return length == PathLength(b) && std::memcmp(a, b, length) == 0;
}

bool SameScanParams(const ScanParams& a, const ScanParams& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Field by field: padding bytes of a copied record carry no meaning.
bool SameSettings(const Settings& a, const Settings& b) {
  return a.Version == b.Version && a.MaxEntries == b.MaxEntries && a.DrelmoCompatible == b.DrelmoCompatible &&
         a.FileNameNumbering == b.FileNameNumbering &&
         std::memcmp(a.FileNameNumberingSeparator, b.FileNameNumberingSeparator,
                     sizeof a.FileNameNumberingSeparator) == 0 &&
         a.SmartLenDetect == b.SmartLenDetect && a.ExtendedExtension == b.ExtendedExtension &&
         a.ExtractHobeta == b.ExtractHobeta && a.ShowDeletedFiles == b.ShowDeletedFiles &&
         SameScanParams(a.BasicScanParams_Hrust1, b.BasicScanParams_Hrust1) &&
         SameScanParams(a.DeepScanParams_Hrust1, b.DeepScanParams_Hrust1) &&
         SameScanParams(a.ExhaustiveScanParams_Hrust1, b.ExhaustiveScanParams_Hrust1) &&
         SameScanParams(a.BasicScanParams_Hrust2, b.BasicScanParams_Hrust2) &&
         SameScanParams(a.DeepScanParams_Hrust2, b.DeepScanParams_Hrust2) &&
         SameScanParams(a.ExhaustiveScanParams_Hrust2, b.ExhaustiveScanParams_Hrust2);
}

bool Matches(const CacheSlot& slot, const CacheKey& key, const Analysis& analysis) {
  return slot.stamp != 0 && slot.imageSize == analysis.imageSize && slot.lastWriteTime == key.lastWriteTime &&
         SameSettings(slot.settings, analysis.settings) && SamePath(slot.path, key.path);
}

Result CopyRecordToAnalysis(const AnalysisRecord& record, Analysis& analysis) {
  analysis.isHripArchive = record.isHripArchive;
  analysis.hripDamaged = record.hripDamaged;
  analysis.hripLength = record.hripLength;
  Result r = analysis.hripReport.Remove(0, analysis.hripReport.length);
  if (r.ok()) r = analysis.hripReport.Append(record.hripReport);
  if (r.ok()) AttachEntries(analysis, record.entries);
  return r;
}

// A heap copy of the report, or null when memory is exhausted.
char* CopyReport(const String& report) {
  char* copy = static_cast<char*>(Allocate(size_t{report.length} + 1));
  if (copy && report.length) std::memcpy(copy, report.text, report.length);
  return copy;
}

}  // namespace

Result LoadCachedAnalysis(const CacheKey& key, Analysis& analysis, bool* hit) {
  *hit = false;
  Dropped dropped;
  CacheLock lock;
  uint64_t now = Now();
  Expire(now, dropped);
  for (CacheSlot& slot : g_slots) {
    if (!Matches(slot, key, analysis)) continue;
    slot.stamp = now;
    *hit = true;
    return CopyRecordToAnalysis(slot.record, analysis);
  }
  return kSuccess;
}

Result StoreAnalysis(const CacheKey& key, Analysis& analysis) {
  if (!analysis.shared) {
    Result r = ShareEntries(analysis);
    if (r.failed()) return r;
  }
  SharedEntries* entries = analysis.shared;
  if (entries->bytes > kCacheBytes) return kSuccess;
  char* path = CopyPath(key.path);
  char* report = CopyReport(analysis.hripReport);
  if (!path || !report) {
    Release(path);
    Release(report);
    return NoMemory;
  }
  Dropped dropped;
  CacheLock lock;
  Expire(Now(), dropped);
  // The least recently used go until the result fits and a slot is free.
  for (;;) {
    CacheSlot* oldest = &g_slots[0];
    for (CacheSlot& slot : g_slots)
      if (slot.stamp < oldest->stamp) oldest = &slot;
    if (oldest->stamp == 0 && g_bytes + entries->bytes <= kCacheBytes) {
      entries->references.fetch_add(1, std::memory_order_relaxed);
      g_bytes += entries->bytes;
      *oldest = CacheSlot{Now(), path, analysis.imageSize, key.lastWriteTime, analysis.settings,
                          AnalysisRecord{analysis.isHripArchive, analysis.hripDamaged, report,
                                         analysis.hripLength, entries}};
      return kSuccess;
    }
    if (oldest->stamp == 0) {  // free, yet too little room: drop the oldest held
      oldest = nullptr;
      for (CacheSlot& slot : g_slots)
        if (slot.stamp != 0 && (!oldest || slot.stamp < oldest->stamp)) oldest = &slot;
    }
    dropped.Take(*oldest);
  }
}

void ExpireCachedAnalyses() {
  Dropped dropped;
  CacheLock lock;
  Expire(Now(), dropped);
}

size_t CachedAnalysisBytes() {
  CacheLock lock;
  return g_bytes;
}

void SetCacheClock(CacheClock clock) { g_clock.store(clock, std::memory_order_relaxed); }

}  // namespace zantor
