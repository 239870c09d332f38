#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>

#include "base/utf16.h"
#include "zantor/host_files.h"

namespace zantor {

const char kPathSeparator = '\\';
#if defined(_WIN64)
const char kDefaultPluginName[] = "Zantor.wcx64";
#else
const char kDefaultPluginName[] = "Zantor.wcx";
#endif

namespace {

constexpr size_t kUnits = 4096;

bool Wide(const char* text, wchar_t (&out)[kUnits]) { return Utf8ToUtf16(text, out, kUnits); }

bool Narrow(const wchar_t* text, char* out, size_t size) { return Utf16ToUtf8(text, Utf16Length(text, UINT32_MAX), out, size); }

}  // namespace

void UseUtf8(int* argc, char*** argv) {
  SetConsoleOutputCP(CP_UTF8);
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (wide == nullptr) return;
  char** utf8 = new char*[n + 1];
  for (int i = 0; i < n; ++i) {
    const size_t size = std::wcslen(wide[i]) * kUtf8PerUtf16 + 1;
    utf8[i] = new char[size];
    Narrow(wide[i], utf8[i], size);
  }
  utf8[n] = nullptr;
  LocalFree(wide);
  *argc = n;
  *argv = utf8;
}

bool AnsiPath(const char* path, char* out, size_t size) {
  wchar_t wide[kUnits];
  if (!Wide(path, wide)) return false;
  return WideCharToMultiByte(CP_ACP, 0, wide, -1, out, static_cast<int>(size), nullptr, nullptr) != 0;
}

bool ExecutableFolder(char* out, size_t size) {
  wchar_t wide[kUnits];
  DWORD n = GetModuleFileNameW(nullptr, wide, kUnits);
  if (n == 0 || n >= kUnits || !Narrow(wide, out, size)) return false;
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

// Built by hand: the system's call refuses results longer than MAX_PATH, and
// the host must hand such paths on for the plugin to judge.
bool FullPath(const char* path, char* out, size_t size) {
  const bool absolute = path[0] == '\\' || path[0] == '/' || (path[0] != 0 && path[1] == ':');
  size_t n = 0;
  if (!absolute) {
    wchar_t folder[kUnits];
    DWORD length = GetCurrentDirectoryW(kUnits, folder);
    if (length == 0 || length >= kUnits || !Narrow(folder, out, size)) return false;
    n = std::strlen(out);
    if (n + 1 >= size) return false;
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
  wchar_t wide[kUnits];
  return Wide(path, wide) && (CreateDirectoryW(wide, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
}

bool PathExists(const char* path) {
  wchar_t wide[kUnits];
  return Wide(path, wide) && GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace zantor
