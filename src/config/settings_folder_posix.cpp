#include <limits.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>

#include "config/settings_folder.h"

namespace zantor {

namespace {

// The folder with its links resolved, or as written when it cannot be (it
// need not exist), without a trailing slash.
void Canonical(const char* folder, char (&out)[PATH_MAX]) {
  if (realpath(folder, out) != nullptr) return;
  std::snprintf(out, sizeof out, "%s", folder);
  size_t n = std::strlen(out);
  while (n > 1 && out[n - 1] == '/') out[--n] = 0;
}

bool IsInstalledFolder(const char* moduleFolder, uint32_t folderLength) {
  char folder[PATH_MAX];
  if (folderLength == 0) {
    std::strcpy(folder, ".");
  } else if (folderLength < sizeof folder) {
    std::memcpy(folder, moduleFolder, folderLength);
    folder[folderLength] = 0;
  } else {
    return false;
  }
  char module[PATH_MAX];
  char installed[PATH_MAX];
  Canonical(folder, module);
  Canonical(ZANTOR_INSTALLED_MODULE_FOLDER, installed);
  return std::strcmp(module, installed) == 0;
}

}  // namespace

bool SettingsFolderElsewhere(const char* moduleFolder, uint32_t folderLength, char* out, uint32_t size) {
  if (!IsInstalledFolder(moduleFolder, folderLength)) return false;
  const char* base = getenv("XDG_CONFIG_HOME");
  const char* home = getenv("HOME");
  int n = -1;
  if (base != nullptr && base[0] == '/') {
    n = std::snprintf(out, size, "%s/zantor/", base);
  } else if (home != nullptr && home[0] == '/') {
    n = std::snprintf(out, size, "%s/.config/zantor/", home);
  }
  if (n < 0 || static_cast<uint32_t>(n) >= size) out[0] = 0;
  return true;
}

}  // namespace zantor

namespace zantor {

void HostTextToUtf8(const char* text, char* out, uint32_t size) {
  if (std::snprintf(out, size, "%s", text) >= static_cast<int>(size)) out[0] = 0;
}

}  // namespace zantor
