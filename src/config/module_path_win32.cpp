#include <windows.h>

#include "config/module_path.h"

namespace zantor {

uint32_t ModuleFileName(void* moduleHandle, char (&buffer)[261]) {
  return GetModuleFileNameA(static_cast<HMODULE>(moduleHandle), buffer, sizeof buffer);
}

}  // namespace zantor
