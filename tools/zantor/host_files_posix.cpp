#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "zantor/host_files.h"

namespace zantor {

const char kPathSeparator = '/';
const char kDefaultPluginName[] = "Zantor.wcx";

void UseUtf8(int*, char***) {}

bool AnsiPath(const char* path, char* out, size_t size) {
  return std::snprintf(out, size, "%s", path) < static_cast<int>(size);
}

bool ExecutableFolder(char* out, size_t size) {
  ssize_t n = readlink("/proc/self/exe", out, size - 1);
  if (n <= 0 || static_cast<size_t>(n) >= size - 1) return false;
  out[n] = 0;
  char* slash = std::strrchr(out, '/');
  if (slash == nullptr) return false;
  slash[1] = 0;
  return true;
}

bool DefaultPluginPath(char* out, size_t size) {
  if (ExecutableFolder(out, size - std::strlen(kDefaultPluginName)) &&
      access(std::strcat(out, kDefaultPluginName), F_OK) == 0) {
    return true;
  }
  return std::snprintf(out, size, "%s/%s", ZANTOR_INSTALLED_MODULE_FOLDER, kDefaultPluginName) <
         static_cast<int>(size);
}

bool FullPath(const char* path, char* out, size_t size) {
  if (path[0] == '/') return std::snprintf(out, size, "%s", path) < static_cast<int>(size);
  char folder[4096];
  if (getcwd(folder, sizeof folder) == nullptr) return false;
  return std::snprintf(out, size, "%s/%s", folder, path) < static_cast<int>(size);
}

bool MakeFolder(const char* path) { return mkdir(path, 0777) == 0 || errno == EEXIST; }

bool PathExists(const char* path) {
  struct stat info;
  return lstat(path, &info) == 0;
}

}  // namespace zantor
