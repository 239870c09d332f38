// Which configuration file is in use, and module start-up.
#include <atomic>
#include <cstdio>
#include <cstring>

#include "base/result.h"
#include "config/module_path.h"
#include "config/settings.h"
#include "config/settings_file.h"
#include "config/settings_folder.h"
#include "config/settings_location.h"

namespace zantor {

namespace {

constexpr char kFileName[] = "Zantor.cfg";

constexpr char kGiven[] = "named by the caller";
constexpr char kNone[] = "none: the module's path is unknown or too long, and the host named no settings folder";
constexpr char kNoUserFolder[] = "none: neither XDG_CONFIG_HOME nor HOME names the user's folder";
constexpr char kHostFileExists[] = "the host's settings folder holds one, which comes first";
constexpr char kOwnFileExists[] = "an existing file beside the module";
constexpr char kUserFileExists[] = "the user's configuration folder: the installed module's folder is the system's";
constexpr char kOwnFolderWritable[] = "beside the module, whose folder can be written";
constexpr char kHostFolder[] = "the host's settings folder: the module's folder cannot be written";
constexpr char kHostOnly[] = "the host's settings folder: the module's path is too long";
constexpr char kOwnReadOnly[] =
    "beside the module, whose folder cannot be written; the host named no settings folder, so saving fails";
constexpr char kOwnFileReadOnly[] = "the host's settings folder: the file beside the module cannot be written";

// The module's own file, the host's file ("" for none) and the file in use.
char g_ownPath[kConfigPathCapacity];
char g_hostPath[kConfigPathCapacity];
char g_configPath[kConfigPathCapacity];
const char* g_reason = kNone;
bool g_ownIsUsers = false;  // the installed module's file in the user's folder
std::atomic<bool> g_pathTooLong{false};

// Sets out to folder (length bytes) + kFileName; "" when it does not fit.
void FileInFolder(const char* folder, size_t length, char (&out)[kConfigPathCapacity]) {
  if (length + sizeof kFileName > sizeof out) {
    out[0] = 0;
    return;
  }
  std::memmove(out, folder, length);
  std::memcpy(out + length, kFileName, sizeof kFileName);
}

void Use(const char* path, const char* reason) {
  SetConfigPath(path);
  g_reason = reason;
}

// Chooses the file in use and loads it.
void ChooseAndLoad() {
  const bool ownExists = g_ownPath[0] != 0 && ProfileFileExists(g_ownPath);
  if (g_hostPath[0] != 0 && ProfileFileExists(g_hostPath)) {
    Use(g_hostPath, kHostFileExists);
  } else if (g_ownPath[0] == 0) {
    Use(g_hostPath, g_hostPath[0] != 0 ? kHostOnly : g_ownIsUsers ? kNoUserFolder : kNone);
  } else if (ownExists || g_ownIsUsers) {
    Use(g_ownPath, g_ownIsUsers ? kUserFileExists : kOwnFileExists);
  } else if (ProfileFolderWritable(g_ownPath)) {
    Use(g_ownPath, kOwnFolderWritable);
  } else if (g_hostPath[0] != 0) {
    Use(g_hostPath, kHostFolder);
  } else {
    Use(g_ownPath, kOwnReadOnly);
  }
  // Over the defaults: keys the chosen file lacks must not come from another.
  SetSettings(DefaultSettings(), false);
  SetSettings(LoadSettings(), false);
}

}  // namespace

void SetConfigPath(const char* path) {
  size_t length = path == nullptr ? 0 : std::strlen(path);
  if (length >= sizeof g_configPath) length = 0;  // never a cut path: it would name another file
  if (length != 0) std::memmove(g_configPath, path, length);
  g_configPath[length] = 0;
  g_reason = kGiven;
}

const char* ConfigPath() { return g_configPath; }

const char* ConfigPathReason() { return g_reason; }

bool UseHostFileInstead() {
  if (g_hostPath[0] == 0 || std::strcmp(g_configPath, g_hostPath) == 0) return false;
  MakeProfileFolder(g_hostPath);
  Use(g_hostPath, kOwnFileReadOnly);
  return true;
}

void InitSettingsFromModulePath(const char* modulePath, uint32_t length) {
  g_ownPath[0] = 0;
  g_ownIsUsers = false;
  // No module name at all: there is no folder of ours to read or write.
  g_pathTooLong.store(length >= kConfigPathCapacity);
  if (length != 0 && length < kConfigPathCapacity) {
    uint32_t folder = length;
    while (folder > 0 && modulePath[folder - 1] != '\\' && modulePath[folder - 1] != '/') --folder;
    char users[kConfigPathCapacity];
    g_ownIsUsers = SettingsFolderElsewhere(modulePath, folder, users, sizeof users);
    if (g_ownIsUsers) {
      if (users[0] != 0) FileInFolder(users, std::strlen(users), g_ownPath);
    } else {
      FileInFolder(modulePath, folder, g_ownPath);
    }
  }
  ChooseAndLoad();
}

void SetHostSettingsFolder(const char* folder) {
  size_t length = folder == nullptr ? 0 : std::strlen(folder);
  g_hostPath[0] = 0;
  if (length != 0 && length + 1 < sizeof g_hostPath) {
    char withSeparator[kConfigPathCapacity];
    std::memcpy(withSeparator, folder, length);
    if (folder[length - 1] != '/' && folder[length - 1] != '\\') withSeparator[length++] = kFolderSeparator;
    FileInFolder(withSeparator, length, g_hostPath);
  }
  ChooseAndLoad();
}

void SetHostSettingsFile(const char* hostFileName) {
  char name[kConfigPathCapacity];
  HostTextToUtf8(hostFileName, name, sizeof name);
  char* end = name;
  for (char* p = name; *p != 0; ++p) {
    if (*p == '/' || *p == '\\') end = p;
  }
  *end = 0;
  SetHostSettingsFolder(name);
}

void InitSettings(void* moduleHandle) {
  char modulePath[kConfigPathCapacity];
  uint32_t length = ModuleFileName(moduleHandle, modulePath);
  InitSettingsFromModulePath(modulePath, length);
}

void ShowPendingStartupMessage() {
  if (g_pathTooLong.exchange(false)) ReportResult(ShownFailure("Path of plugin DLL is too long."));
}

}  // namespace zantor
