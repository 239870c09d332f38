#include <time.h>

#include "scan/analysis_cache.h"

namespace zantor {

uint64_t PlatformCacheClock() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 10000000u + static_cast<uint64_t>(now.tv_nsec) / 100u;
}

}  // namespace zantor
