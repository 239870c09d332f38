#include <windows.h>

#include <cstring>

#include "zantor/host_files.h"

namespace zantor {

const char kPathSeparator = '\\';
#if defined(_WIN64)
const char kDefaultPluginName[] = "Zantor.wcx64";
#else
const char kDefaultPluginName[] = "Zantor.wcx";
#endif

bool ExecutableFolder(char* out, size_t size) {
  DWORD n = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(size));
  if (n == 0 || n >= size) return false;
  char* slash = std::strrchr(out, '\\');
  if (slash == nullptr) return false;
  slash[1] = 0;
  return true;
}

bool DefaultPluginPath(char* out, size_t size) {
  if (!ExecutableFolder(out, size - std::strlen(kDefaultPluginName))) return false;
  std::strcat(out, kDefaultPluginName);
  return true;
}

// Built by hand: the system's ANSI call refuses results longer than
// MAX_PATH, and the host must hand such paths on for the plugin to judge.
bool FullPath(const char* path, char* out, size_t size) {
  const bool absolute = path[0] == '\\' || path[0] == '/' || (path[0] != 0 && path[1] == ':');
  size_t n = 0;
  if (!absolute) {
    DWORD folder = GetCurrentDirectoryA(static_cast<DWORD>(size), out);
    if (folder == 0 || folder >= size) return false;
    n = folder;
    if (out[n - 1] != '\\') out[n++] = '\\';
  }
  for (const char* p = path; *p != 0; ++p) {
    if (p[0] == '.' && (p[1] == '/' || p[1] == '\\') && (p == path || p[-1] == '/' || p[-1] == '\\')) {
      ++p;  // "./" adds nothing
      continue;
    }
    if (n + 1 >= size) return false;
    out[n++] = *p == '/' ? '\\' : *p;
  }
  out[n] = 0;
  return true;
}

bool MakeFolder(const char* path) {
  return CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool PathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace zantor
