// Where the configuration file lives, and module start-up.
#include <atomic>
#include <cstring>

#include "base/result.h"
#include "config/module_path.h"
#include "config/settings.h"
#include "config/settings_folder.h"

namespace zantor {

namespace {

constexpr char kFileName[] = "Zantor.cfg";
// Module paths this long leave no room for the file name.
constexpr uint32_t kLongestModulePath = 249;

char g_configPath[261];
std::atomic<bool> g_pathTooLong{false};

}  // namespace

void SetConfigPath(const char* path) {
  size_t length = path == nullptr ? 0 : std::strlen(path);
  if (length >= sizeof g_configPath) length = 0;  // never a cut path: it would name another file
  if (length != 0) std::memcpy(g_configPath, path, length);
  g_configPath[length] = 0;
}

const char* ConfigPath() { return g_configPath; }

void InitSettingsFromModulePath(const char* modulePath, uint32_t length) {
  // No module name at all: there is no folder of ours to read or write.
  if (length == 0 || length > kLongestModulePath) {
    g_pathTooLong.store(length != 0);
    SetConfigPath(nullptr);
    return;
  }
  uint32_t folder = length;
  while (folder > 0 && modulePath[folder - 1] != '\\' && modulePath[folder - 1] != '/') --folder;
  if (SettingsFolderElsewhere(modulePath, folder, g_configPath, sizeof g_configPath - (sizeof kFileName - 1))) {
    if (g_configPath[0] == 0) return;  // no folder of the user's: the defaults stay
    std::strcat(g_configPath, kFileName);
  } else {
    std::memcpy(g_configPath, modulePath, folder);
    std::memcpy(g_configPath + folder, kFileName, sizeof kFileName);
  }
  SetSettings(LoadSettings(), false);
}

void InitSettings(void* moduleHandle) {
  char modulePath[261];
  uint32_t length = ModuleFileName(moduleHandle, modulePath);
  InitSettingsFromModulePath(modulePath, length);
}

void ShowPendingStartupMessage() {
  if (g_pathTooLong.exchange(false)) ReportResult(ShownFailure("Path of plugin DLL is too long."));
}

}  // namespace zantor
