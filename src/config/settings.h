// Settings: all behaviour the user can tune. One global record (behind a
// spin lock), overlaid from "Zantor.cfg" at module load; every session takes
// a snapshot at open and uses only that.
#pragma once
#include <cstdint>

namespace zantor {

// Limits of one search intensity for one format; also the exact 28-byte
// image stored in the configuration file.
struct ScanParams {
  uint32_t Version;        // always 1; records with another value are ignored on load
  uint32_t Enabled;        // low byte non-zero: this intensity runs
  uint32_t MaxFileSize;    // runs only on images of at most this many bytes
  uint32_t ScanFirst;      // looks only at the first this many bytes
  uint32_t SizeThreshold;  // block size used by the Hrust 2 searches
  uint32_t TestBlocks;     // low byte non-zero: test-unpack before listing
  uint32_t MinBlockSize;   // blocks unpacking to fewer bytes are not listed
};
static_assert(sizeof(ScanParams) == 28, "stored byte image");

struct Settings {
  uint32_t Version;
  uint32_t MaxEntries;
  bool DrelmoCompatible;
  uint32_t FileNameNumbering;  // 0 none, 1 hex, 2 decimal
  char FileNameNumberingSeparator[9];
  bool SmartLenDetect;
  bool ExtendedExtension;
  bool ExtractHobeta;
  bool ShowDeletedFiles;
  ScanParams BasicScanParams_Hrust1;
  ScanParams DeepScanParams_Hrust1;
  ScanParams ExhaustiveScanParams_Hrust1;
  ScanParams BasicScanParams_Hrust2;
  ScanParams DeepScanParams_Hrust2;
  ScanParams ExhaustiveScanParams_Hrust2;
};

// Limits kept on load.
constexpr uint32_t kMinMaxEntries = 260;
constexpr uint32_t kMaxMaxEntries = 1000000;
constexpr uint32_t kMaxScanBytes = 999999u * 1024u;
constexpr uint32_t kMaxMinBlockSize = 99999;

// The built-in defaults (padding bytes zero, so equal settings compare equal
// byte for byte).
Settings DefaultSettings();

// Derived settings: every consumer applies these rules.
uint32_t NumberingInEffect(const Settings& s);
bool HobetaExtractionInEffect(const Settings& s);
bool SmartLengthInEffect(const Settings& s);

// Capacity of the configuration file's path, in UTF-8 bytes with the
// terminator: the platform's path limit on Linux.
constexpr uint32_t kConfigPathCapacity = 4096;

// A copy of the global record, taken under the settings lock.
Settings GetSettings();
// Replaces the global record; with save set, then writes it to the file.
void SetSettings(const Settings& s, bool save);
// The global record overlaid with the configuration file's values.
Settings LoadSettings();
// Writes every key into the file in use. When the file beside the module
// cannot be written and the host named a settings folder, the file there
// becomes the file in use and takes the settings. A save that fails shows a
// message naming the file and the reason; false then. Does nothing when no
// configuration file path exists.
bool SaveSettings(const Settings& s);

// Module start-up: forms the path of "Zantor.cfg" beside the module (for the
// installed Linux module, in the user's folder: settings_folder.h), chooses
// the file in use and loads it. Shows nothing: a module path too long to use
// is only recorded (no user interface may run while the loader calls the
// module).
void InitSettings(void* moduleHandle);
// Shows the message recorded by InitSettings, once per process; every export
// calls it first.
void ShowPendingStartupMessage();

// Start-up from a known module path (what InitSettings does once it has the
// module's file name, UTF-8): length is that of the path, as the system
// reports it.
void InitSettingsFromModulePath(const char* modulePath, uint32_t length);
// The host's settings folder, which the user can always write (UTF-8, with or
// without a trailing separator; null or "" for none): chooses the file in use
// again and loads it. Which file is chosen:
//   1. "Zantor.cfg" in the host's settings folder, when it exists;
//   2. the module's own file (beside it, or the user's for the installed
//      Linux module), when it exists or its folder can be written;
//   3. "Zantor.cfg" in the host's settings folder.
void SetHostSettingsFolder(const char* folder);
// The same from the full name of a file in that folder, in the host's
// character set (ANSI on Windows, UTF-8 elsewhere).
void SetHostSettingsFile(const char* hostFileName);
// Uses the given configuration file (for the command-line tool and tests);
// null or "" leaves the plugin without one.
void SetConfigPath(const char* path);
// The configuration file path (UTF-8), or "" when there is none.
const char* ConfigPath();
// Why the file in use is the one it is, as a phrase for users.
const char* ConfigPathReason();

}  // namespace zantor
