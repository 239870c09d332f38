#include "config/settings.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace zantor {

namespace {

// In static storage, so its padding bytes are zero.
constexpr Settings kDefaults{
    1,                                   // Version
    5000,                                // MaxEntries
    false,                               // DrelmoCompatible
    2,                                   // FileNameNumbering
    {'!', ' ', ' ', ' ', 0, 0, 0, 0, 0}, // FileNameNumberingSeparator
    true,                                // SmartLenDetect
    true,                                // ExtendedExtension
    false,                               // ExtractHobeta
    false,                               // ShowDeletedFiles
    {1, 1, 10485760, 4194304, 0, 1, 0},  // BasicScanParams_Hrust1
    {1, 1, 4194304, 2097152, 0, 1, 10},  // DeepScanParams_Hrust1
    {1, 0, 4194304, 2097152, 0, 1, 257}, // ExhaustiveScanParams_Hrust1
    {1, 1, 10485760, 4194304, 257, 0, 0},  // BasicScanParams_Hrust2
    {1, 1, 4194304, 2097152, 4096, 0, 0},  // DeepScanParams_Hrust2
    {1, 0, 4194304, 2097152, 0, 1, 257},   // ExhaustiveScanParams_Hrust2
};

Settings g_settings = kDefaults;

// One-byte flag taken by test-and-set; held only while a whole record is
// copied, so a waiting thread just gives up its time slice.
std::atomic_flag g_settingsLock = ATOMIC_FLAG_INIT;

void Lock() {
  while (g_settingsLock.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
}

void Unlock() { g_settingsLock.clear(std::memory_order_release); }

}  // namespace

Settings DefaultSettings() {
  Settings s;
  std::memcpy(&s, &kDefaults, sizeof s);
  return s;
}

uint32_t NumberingInEffect(const Settings& s) { return s.DrelmoCompatible ? 0 : s.FileNameNumbering; }

bool HobetaExtractionInEffect(const Settings& s) { return s.ExtractHobeta && !s.DrelmoCompatible; }

bool SmartLengthInEffect(const Settings& s) { return s.SmartLenDetect && !HobetaExtractionInEffect(s); }

Settings GetSettings() {
  Settings s;
  Lock();
  std::memcpy(&s, &g_settings, sizeof s);
  Unlock();
  return s;
}

void SetSettings(const Settings& s, bool save) {
  Lock();
  std::memcpy(&g_settings, &s, sizeof s);
  Unlock();
  if (save) SaveSettings(s);
}

}  // namespace zantor
