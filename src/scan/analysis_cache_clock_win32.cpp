#include <windows.h>

#include "scan/analysis_cache.h"

namespace zantor {

uint64_t PlatformCacheClock() {
  LARGE_INTEGER ticks{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&ticks);
  QueryPerformanceFrequency(&frequency);
  // Whole seconds and the remainder apart, so the product cannot overflow.
  uint64_t count = static_cast<uint64_t>(ticks.QuadPart);
  uint64_t perSecond = static_cast<uint64_t>(frequency.QuadPart);
  return count / perSecond * 10000000u + count % perSecond * 10000000u / perSecond;
}

}  // namespace zantor
