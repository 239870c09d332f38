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

bool FullPath(const char* path, char* out, size_t size) {
  DWORD n = GetFullPathNameA(path, static_cast<DWORD>(size), out, nullptr);
  return n != 0 && n < size;
}

bool MakeFolder(const char* path) {
  return CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace zantor
