#include <windows.h>

#include "scan/block_search_entropy.h"

namespace zantor {

void ReadEntropySeeds(uint64_t* systemTime, uint64_t* counter) {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  *systemTime = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  LARGE_INTEGER ticks{};
  QueryPerformanceCounter(&ticks);
  *counter = static_cast<uint64_t>(ticks.QuadPart);
}

}  // namespace zantor
