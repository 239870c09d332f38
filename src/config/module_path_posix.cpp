#include <dlfcn.h>

#include <cstring>

#include "config/module_path.h"

namespace zantor {

// The handle is not needed: the shared object is the one holding this function.
uint32_t ModuleFileName(void*, char (&buffer)[kConfigPathCapacity]) {
  Dl_info info;
  buffer[0] = 0;
  if (dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) == 0 || info.dli_fname == nullptr) return 0;
  size_t length = std::strlen(info.dli_fname);
  size_t kept = length < sizeof buffer ? length : sizeof buffer - 1;
  std::memcpy(buffer, info.dli_fname, kept);
  buffer[kept] = 0;
  return static_cast<uint32_t>(length < sizeof buffer ? length : sizeof buffer);
}

}  // namespace zantor
