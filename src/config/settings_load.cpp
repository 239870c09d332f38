// Reading and writing the settings keys of the configuration file.
#include <cstdio>
#include <cstring>

#include "base/result.h"
#include "base/utf16.h"
#include "config/settings.h"
#include "config/settings_file.h"
#include "config/settings_location.h"

namespace zantor {

namespace {

constexpr char kSection[] = "Zantor";

struct ScanKey {
  const char* key;
  ScanParams Settings::*record;
};

// In the order the file is read and written.
constexpr ScanKey kScanKeys[] = {
    {"BasicScanParams_Hrust1", &Settings::BasicScanParams_Hrust1},
    {"BasicScanParams_Hrust2", &Settings::BasicScanParams_Hrust2},
    {"DeepScanParams_Hrust1", &Settings::DeepScanParams_Hrust1},
    {"DeepScanParams_Hrust2", &Settings::DeepScanParams_Hrust2},
    {"ExhaustiveScanParams_Hrust1", &Settings::ExhaustiveScanParams_Hrust1},
    {"ExhaustiveScanParams_Hrust2", &Settings::ExhaustiveScanParams_Hrust2},
};

struct SwitchKey {
  const char* key;
  bool Settings::*field;
};

constexpr SwitchKey kSwitchKeys[] = {
    {"SmartLenDetect", &Settings::SmartLenDetect},
    {"ExtendedExtension", &Settings::ExtendedExtension},
    {"ExtractHobeta", &Settings::ExtractHobeta},
    {"ShowDeletedFiles", &Settings::ShowDeletedFiles},
};

uint32_t Clamp(int32_t value, int32_t low, int32_t high) {
  return static_cast<uint32_t>(value < low ? low : value > high ? high : value);
}

uint32_t AtMost(uint32_t value, uint32_t high) { return value > high ? high : value; }

int32_t ReadInt(const char* path, const char* key, int32_t current) {
  return ProfileReadInt(path, kSection, key, current);
}

bool ReadSwitch(const char* path, const char* key, bool current) { return ReadInt(path, key, current) != 0; }

void ReadScanParams(const char* path, const char* key, ScanParams* record) {
  ScanParams scratch;
  if (!ProfileReadStruct(path, kSection, key, &scratch, sizeof scratch) || scratch.Version != 1) return;
  scratch.MaxFileSize = AtMost(scratch.MaxFileSize, kMaxScanBytes);
  scratch.ScanFirst = AtMost(scratch.ScanFirst, kMaxScanBytes);
  scratch.MinBlockSize = AtMost(scratch.MinBlockSize, kMaxMinBlockSize);
  *record = scratch;
}

uint32_t WriteNumber(const char* path, const char* key, uint32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
  return ProfileWriteString(path, kSection, key, text);
}

// Every key into path; 0, or the system's code of the first failure.
uint32_t WriteSettings(const char* path, const Settings& settings) {
  Settings s = settings;
  s.Version = 1;
  uint32_t error = WriteNumber(path, "MaxEntries", s.MaxEntries);
  if (error == 0) error = WriteNumber(path, "DrelmoCompatible", s.DrelmoCompatible);
  if (error == 0) error = WriteNumber(path, "FileNameNumbering", s.FileNameNumbering);
  if (error == 0) {
    error = ProfileWriteStruct(path, kSection, "FileNameNumberingSeparator", s.FileNameNumberingSeparator,
                               sizeof s.FileNameNumberingSeparator);
  }
  for (const SwitchKey& on : kSwitchKeys) {
    if (error == 0) error = WriteNumber(path, on.key, s.*on.field);
  }
  for (const ScanKey& scan : kScanKeys) {
    ScanParams record = s.*scan.record;
    record.Version = 1;
    if (error == 0) error = ProfileWriteStruct(path, kSection, scan.key, &record, sizeof record);
  }
  return error;
}

void ReportSaveFailure(const char* path, uint32_t error) {
  char reason[256];
  DescribeSystemError(error, reason, sizeof reason);
  char text[kConfigPathCapacity + 320];
  std::snprintf(text, sizeof text, "The settings could not be saved to\n%s\n\n%s", path, reason);
  char16_t wide[sizeof text];
  Utf8ToUtf16(text, wide, sizeof wide / sizeof wide[0]);
  ReportResult(Result{Result::kFailed | Result::kShow | Result::kWideMessage, 0, 0, wide});
}

}  // namespace

Settings LoadSettings() {
  Settings s = GetSettings();
  const char* path = ConfigPath();
  if (path[0] == 0) return s;
  s.MaxEntries = Clamp(ReadInt(path, "MaxEntries", static_cast<int32_t>(s.MaxEntries)),
                       static_cast<int32_t>(kMinMaxEntries), static_cast<int32_t>(kMaxMaxEntries));
  s.DrelmoCompatible = ReadSwitch(path, "DrelmoCompatible", s.DrelmoCompatible);
  s.FileNameNumbering = Clamp(ReadInt(path, "FileNameNumbering", static_cast<int32_t>(s.FileNameNumbering)), 0, 2);
  // Read into scratch: the system may fill the buffer before it rejects the check pair.
  char separator[sizeof s.FileNameNumberingSeparator];
  if (ProfileReadStruct(path, kSection, "FileNameNumberingSeparator", separator, sizeof separator)) {
    std::memcpy(s.FileNameNumberingSeparator, separator, sizeof separator);
  }
  s.FileNameNumberingSeparator[sizeof separator - 1] = 0;
  for (const SwitchKey& on : kSwitchKeys) s.*on.field = ReadSwitch(path, on.key, s.*on.field);
  for (const ScanKey& scan : kScanKeys) ReadScanParams(path, scan.key, &(s.*scan.record));
  return s;
}

bool SaveSettings(const Settings& settings) {
  if (ConfigPath()[0] == 0) return true;
  uint32_t error = WriteSettings(ConfigPath(), settings);
  if (error != 0 && UseHostFileInstead()) error = WriteSettings(ConfigPath(), settings);
  if (error != 0) ReportSaveFailure(ConfigPath(), error);
  return error == 0;
}

}  // namespace zantor
