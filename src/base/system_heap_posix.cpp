#include "base/system_heap.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace zantor {

void* SystemAllocate(size_t bytes) { return std::calloc(1, bytes); }

void* SystemReallocate(void* memory, size_t oldBytes, size_t newBytes) {
  uint8_t* resized = static_cast<uint8_t*>(std::realloc(memory, newBytes));
  if (resized != nullptr && newBytes > oldBytes) std::memset(resized + oldBytes, 0, newBytes - oldBytes);
  return resized;
}

void SystemFree(void* memory) { std::free(memory); }

void SystemTrim() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

}  // namespace zantor
