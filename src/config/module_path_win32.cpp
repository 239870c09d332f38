#include <windows.h>

#include <cstring>

#include "base/utf16.h"
#include "config/module_path.h"

namespace zantor {

// Through the wide function: a folder named outside the ANSI code page keeps
// its name.
uint32_t ModuleFileName(void* moduleHandle, char (&buffer)[kConfigPathCapacity]) {
  wchar_t path[kConfigPathCapacity / kUtf8PerUtf16];
  const DWORD units = GetModuleFileNameW(static_cast<HMODULE>(moduleHandle), path, sizeof path / sizeof path[0]);
  buffer[0] = 0;
  if (units == 0) return 0;
  if (units >= sizeof path / sizeof path[0] || !Utf16ToUtf8(path, units, buffer, sizeof buffer)) return sizeof buffer;
  return static_cast<uint32_t>(std::strlen(buffer));
}

}  // namespace zantor
