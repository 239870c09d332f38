#include "scan/analysis_cache.h"

#include <atomic>
#include <cstring>
#include <thread>

#include "base/heap.h"
#include "scan/analysis.h"
#include "scan/entry.h"

namespace zantor {
namespace {

struct AnalysisRecord {
  uint8_t isHripArchive;
  uint8_t hripDamaged;
  char* hripReport;  // zero-terminated heap copy
  uint32_t hripLength;
  uint32_t entryCount;
  Entry** entries;   // deep copies, owned
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
std::atomic_flag g_lock = ATOMIC_FLAG_INIT;
std::atomic<CacheClock> g_clock{nullptr};

// Held only for expiry, lookup, the copy of a hit and the store; never
// across scanning or file access, so waiting is short. A waiter gives up its
// time slice: the holder may be preempted on a busy machine.
class CacheLock {
 public:
  CacheLock() {
    while (g_lock.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  }
  ~CacheLock() { g_lock.clear(std::memory_order_release); }
  CacheLock(const CacheLock&) = delete;
  CacheLock& operator=(const CacheLock&) = delete;
};

uint64_t Now() {
  CacheClock clock = g_clock.load(std::memory_order_relaxed);
  uint64_t now = clock ? clock() : PlatformCacheClock();
  return now ? now : 1;  // 0 marks a free slot
}

void FreeRecord(AnalysisRecord& record) {
  Release(record.hripReport);
  for (uint32_t i = 0; i < record.entryCount; ++i) DestroyEntry(record.entries[i]);
  Release(record.entries);
  std::memset(&record, 0, sizeof record);
}

void FreeSlot(CacheSlot& slot) {
  if (slot.stamp != 0) FreeRecord(slot.record);
  Release(slot.path);
  std::memset(&slot, 0, sizeof slot);
}

// Unsigned difference: a clock that went back also expires the slot.
void Expire(uint64_t now) {
  for (CacheSlot& slot : g_slots)
    if (now - slot.stamp > kCacheExpiry) FreeSlot(slot);
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

// A fresh entry holding a deep copy of from, or null with *result set.
Entry* DuplicateEntry(const Entry& from, Result* result) {
  Entry* copy = NewEntry(from.kind);
  if (!copy) {
    *result = NoMemory;
    return nullptr;
  }
  *result = CopyEntry(from, copy);
  if (result->failed()) {
    DestroyEntry(copy);
    return nullptr;
  }
  return copy;
}

Result CopyRecordToAnalysis(const AnalysisRecord& record, Analysis& analysis) {
  analysis.isHripArchive = record.isHripArchive;
  analysis.hripDamaged = record.hripDamaged;
  analysis.hripLength = record.hripLength;
  Result r = analysis.hripReport.Remove(0, analysis.hripReport.length);
  if (r.ok()) r = analysis.hripReport.Append(record.hripReport);
  for (uint32_t i = 0; r.ok() && i < record.entryCount; ++i) {
    Entry* copy = DuplicateEntry(*record.entries[i], &r);
    if (!copy) break;
    r = analysis.entries.Append(copy);
    if (r.failed()) DestroyEntry(copy);
  }
  return r;
}

// On failure the partial record is freed.
Result BuildRecord(const Analysis& analysis, AnalysisRecord& record) {
  const String& report = analysis.hripReport;
  record.isHripArchive = analysis.isHripArchive;
  record.hripDamaged = analysis.hripDamaged;
  record.hripLength = analysis.hripLength;
  record.hripReport = static_cast<char*>(Allocate(size_t{report.length} + 1));
  record.entries = static_cast<Entry**>(Allocate(sizeof(Entry*) * size_t{analysis.entries.count}));
  Result r = (record.hripReport && record.entries) ? kSuccess : NoMemory;
  if (r.ok() && report.length) std::memcpy(record.hripReport, report.text, report.length);
  for (uint32_t i = 0; r.ok() && i < analysis.entries.count; ++i) {
    Entry* copy = DuplicateEntry(*analysis.entries.items[i], &r);
    if (copy) record.entries[record.entryCount++] = copy;
  }
  if (r.failed()) FreeRecord(record);
  return r;
}

}  // namespace

Result LoadCachedAnalysis(const CacheKey& key, Analysis& analysis, bool* hit) {
  *hit = false;
  CacheLock lock;
  uint64_t now = Now();
  Expire(now);
  for (CacheSlot& slot : g_slots) {
    if (!Matches(slot, key, analysis)) continue;
    slot.stamp = now;
    *hit = true;
    return CopyRecordToAnalysis(slot.record, analysis);
  }
  return kSuccess;
}

Result StoreAnalysis(const CacheKey& key, const Analysis& analysis) {
  AnalysisRecord record{};
  Result r = BuildRecord(analysis, record);
  if (r.failed()) return r;
  char* path = CopyPath(key.path);
  if (!path) {
    FreeRecord(record);
    return NoMemory;
  }
  CacheLock lock;
  Expire(Now());
  CacheSlot* oldest = &g_slots[0];
  for (CacheSlot& slot : g_slots)
    if (slot.stamp < oldest->stamp) oldest = &slot;
  FreeSlot(*oldest);
  oldest->stamp = Now();
  oldest->path = path;
  oldest->imageSize = analysis.imageSize;
  oldest->lastWriteTime = key.lastWriteTime;
  oldest->settings = analysis.settings;
  oldest->record = record;
  return kSuccess;
}

void SetCacheClock(CacheClock clock) { g_clock.store(clock, std::memory_order_relaxed); }

}  // namespace zantor
