#include <windows.h>

#include <cstdio>

#include "base/utf16.h"
#include "zantor/module_loader.h"

namespace zantor {

void* OpenModule(const char* path, char* error, size_t size) {
  wchar_t wide[4096];
  HMODULE module = Utf8ToUtf16(path, wide, 4096) ? LoadLibraryW(wide) : nullptr;
  if (module == nullptr) std::snprintf(error, size, "system error %lu", static_cast<unsigned long>(GetLastError()));
  return module;
}

void* FindExport(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void CloseModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

}  // namespace zantor
